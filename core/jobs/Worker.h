#pragma once

#include "core/ports/Poster.h"
#include "core/ports/Prompter.h"
#include "core/ports/WaitCursor.h"

#include <atomic>
#include <thread>

namespace rm {

// A worker asks its dialog's thread for what only that thread may do.
enum : int { MessageWorkerRequest = 1027 };

// A long task run on a thread of its own while a window shows it. It tells
// the window of its progress (1026) and its end (1025 unless told otherwise)
// by posted messages only, and asks it the same way for message boxes and the
// wait cursor; the window answers through serveRequest. After a confirmed
// cancel the window waits for `finished`, which the task sets once it no
// longer changes its results.
class Worker {
public:
    explicit Worker(int endMessage = MessageFinished) : endMessage_(endMessage) {}
    // The owner joins a started worker before it destroys it: the thread
    // runs the derived class's code.
    virtual ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void start(Poster& window);
    void requestCancel() { cancelRequested_.store(true, std::memory_order_release); }
    bool cancelRequested() const { return cancelRequested_.load(std::memory_order_acquire); }
    const std::atomic<bool>& cancelFlag() const { return cancelRequested_; }
    bool isFinished() const { return finished_.load(std::memory_order_acquire); }
    const std::atomic<bool>& finishedFlag() const { return finished_; }
    // Set when the thread has returned: nothing of the task runs any more.
    const std::atomic<bool>& endedFlag() const { return ended_; }
    bool started() const { return thread_.joinable(); }
    void join();

    // On the window's thread: does what a posted request asks. False for a
    // message that is no request.
    static bool serveRequest(int message, std::uintptr_t wParam, std::intptr_t lParam, Prompter& prompter,
                             WaitCursor& waitCursor);

protected:
    virtual void run() = 0;

    Poster& window() { return *window_; }
    void setFinished() { finished_.store(true, std::memory_order_release); }
    // `finished`, then the end message.
    void finish();
    // A message box shown by the window's thread; waits for the answer.
    MessageAnswer ask(const Message& message);
    void showWaitCursor(bool shown);

private:
    const int endMessage_;
    Poster* window_ = nullptr;
    std::atomic<bool> cancelRequested_{false};
    std::atomic<bool> finished_{false};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

// Waits, on the window's thread, until a worker's flag is set, while the
// window keeps painting and serving the worker's requests (user input waits).
class WorkerWait {
public:
    virtual ~WorkerWait() = default;
    virtual void waitFor(const std::atomic<bool>& flag) = 0;
};

} // namespace rm
