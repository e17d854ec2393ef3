#include "cli/ConsoleFace.h"

#include "cli/Interruption.h"

namespace rm {
namespace {

// The face the first signal goes to.
std::mutex currentMutex;
ConsoleFace* current = nullptr;

} // namespace

ConsoleFace::ConsoleFace()
{
    watchInterruptions();
    {
        std::lock_guard lock(currentMutex);
        current = this;
    }
    setInterruptionListener([] {
        std::lock_guard lock(currentMutex);
        if (current)
            current->post([face = current] { face->interrupt(); });
    });
}

ConsoleFace::~ConsoleFace()
{
    std::lock_guard lock(currentMutex);
    if (current == this)
        current = nullptr;
}

void ConsoleFace::post(std::function<void()> call)
{
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    posted_.notify_one();
}

std::function<void()> ConsoleFace::next()
{
    std::unique_lock lock(mutex_);
    posted_.wait(lock, [this] { return !calls_.empty(); });
    std::function<void()> call = std::move(calls_.front());
    calls_.pop_front();
    return call;
}

void ConsoleFace::interrupt()
{
    interrupted_ = true;
    if (running_)
        running_->cancel();
}

void ConsoleFace::run(Job& job)
{
    bool ended = false;
    running_ = &job;
    if (interrupted_)
        job.cancel();
    job.start(*this, [&ended] { ended = true; });
    while (!ended)
        next()();
    running_ = nullptr;
    job.join();
}

} // namespace rm
