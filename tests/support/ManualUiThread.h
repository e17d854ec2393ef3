#pragma once

#include "core/jobs/UiThread.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace rm {

// A face's thread the test turns by hand: posted calls wait until the test
// runs them.
class ManualUiThread : public UiThread {
public:
    void post(std::function<void()> call) override
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
        posted_.notify_all();
    }
    // Runs the calls posted so far, and those they post; how many ran.
    int runPosted()
    {
        int ran = 0;
        for (;;) {
            std::function<void()> call;
            {
                std::lock_guard lock(mutex_);
                if (calls_.empty())
                    return ran;
                call = std::move(calls_.front());
                calls_.pop_front();
            }
            call();
            ++ran;
        }
    }
    // Waits until a call is posted, then runs the calls posted.
    int runNext()
    {
        {
            std::unique_lock lock(mutex_);
            posted_.wait(lock, [&] { return !calls_.empty(); });
        }
        return runPosted();
    }
    std::size_t waiting()
    {
        std::lock_guard lock(mutex_);
        return calls_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> calls_;
};

} // namespace rm
