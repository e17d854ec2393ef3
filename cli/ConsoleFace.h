#pragma once

#include "core/jobs/Job.h"
#include "core/jobs/UiThread.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace rm {

// The console's main thread as the face's thread: calls posted from any
// thread wait in a queue, which the main thread runs while a job runs. A
// Ctrl+C (or SIGTERM) cancels the running job and every later one, as the
// window's Cancel does; a second one ends the program at once. The newest
// face of the process is the one a signal goes to.
class ConsoleFace : public UiThread {
public:
    ConsoleFace();
    ~ConsoleFace() override;
    ConsoleFace(const ConsoleFace&) = delete;
    ConsoleFace& operator=(const ConsoleFace&) = delete;

    void post(std::function<void()> call) override;
    // Starts the job and runs posted calls until it has ended.
    void run(Job& job);
    bool interrupted() const { return interrupted_; }
    // On this thread: cancels the running job and the later ones.
    void interrupt();

private:
    std::function<void()> next();

    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> calls_;
    Job* running_ = nullptr;
    bool interrupted_ = false;
};

} // namespace rm
