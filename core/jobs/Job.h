#pragma once

#include "core/jobs/CancelToken.h"
#include "core/jobs/UiThread.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace rm {

// One long task on a thread of its own. When the task has returned, its end
// is told on the face's thread, unless the job has gone by then. The face
// owns the job; it is destroyed only after its thread has ended (the
// destructor waits for that).
class Job {
public:
    using Work = std::function<void(const CancelToken&)>;

    explicit Job(Work work);
    ~Job();
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    // Starts the task; `ended` runs on `face` once it has returned.
    void start(UiThread& face, std::function<void()> ended);
    void cancel() { cancel_.cancel(); }
    bool cancelRequested() const { return cancel_.cancelled(); }
    bool started() const { return started_; }
    // Set once the task has returned: nothing of it runs any more.
    bool hasEnded() const { return ended_.load(std::memory_order_acquire); }
    void join();

private:
    Work work_;
    CancelToken cancel_;
    bool started_ = false;
    std::atomic<bool> ended_{false};
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::thread thread_;
};

} // namespace rm
