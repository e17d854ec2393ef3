#include "cli/ConsoleFace.h"

#include <csignal>
#include <pthread.h>
#include <thread>

namespace rm {
namespace {

// Ctrl+C and SIGTERM, taken by a thread of their own: blocked everywhere
// else (threads started later inherit that), waited for there.
sigset_t interruptSignals()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// The face the first signal goes to.
std::mutex currentMutex;
ConsoleFace* current = nullptr;

// Started once, living as long as the process: the first signal cancels,
// the second ends the program the way the signal does.
void watchSignals()
{
    static const bool started = [] {
        const sigset_t signals = interruptSignals();
        pthread_sigmask(SIG_BLOCK, &signals, nullptr);
        std::thread([signals] {
            int signal = 0;
            sigwait(&signals, &signal);
            {
                std::lock_guard lock(currentMutex);
                if (current)
                    current->post([face = current] { face->interrupt(); });
            }
            sigwait(&signals, &signal);
            std::signal(signal, SIG_DFL);
            pthread_sigmask(SIG_UNBLOCK, &signals, nullptr);
            ::raise(signal);
        }).detach();
        return true;
    }();
    (void)started;
}

} // namespace

ConsoleFace::ConsoleFace()
{
    watchSignals();
    std::lock_guard lock(currentMutex);
    current = this;
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
