#include "core/jobs/Worker.h"

#include <exception>
#include <future>

namespace rm {
namespace {

enum RequestKind : std::uintptr_t { ShowMessage, BeginWaitCursor, EndWaitCursor };

struct MessageRequest {
    Message message;
    std::promise<MessageAnswer> answer;
};

} // namespace

Worker::~Worker()
{
    if (thread_.joinable())
        std::terminate(); // destroyed under a running task: a fault of the owner
}

void Worker::start(Poster& window)
{
    window_ = &window;
    thread_ = std::thread([this] {
        run();
        ended_.store(true, std::memory_order_release);
    });
}

void Worker::join()
{
    if (thread_.joinable())
        thread_.join();
}

void Worker::finish()
{
    setFinished();
    window_->post(endMessage_, 0, 0);
}

MessageAnswer Worker::ask(const Message& message)
{
    MessageRequest request{message, {}};
    std::future<MessageAnswer> answer = request.answer.get_future();
    window_->post(MessageWorkerRequest, ShowMessage, reinterpret_cast<std::intptr_t>(&request));
    return answer.get();
}

void Worker::showWaitCursor(bool shown)
{
    window_->post(MessageWorkerRequest, shown ? BeginWaitCursor : EndWaitCursor, 0);
}

bool Worker::serveRequest(int message, std::uintptr_t wParam, std::intptr_t lParam, Prompter& prompter,
                          WaitCursor& waitCursor)
{
    if (message != MessageWorkerRequest)
        return false;
    switch (wParam) {
    case ShowMessage: {
        auto* request = reinterpret_cast<MessageRequest*>(lParam);
        request->answer.set_value(prompter.show(request->message));
        break;
    }
    case BeginWaitCursor:
        waitCursor.begin();
        break;
    case EndWaitCursor:
        waitCursor.end();
        break;
    }
    return true;
}

} // namespace rm
