#pragma once

#include "core/jobs/ThreadStarter.h"

#include <atomic>
#include <thread>

namespace rm {

// Detached threads as the program starts them, or none: `refused` starts are
// refused (all of them when negative), as a system out of threads refuses.
class TestThreads : public ThreadStarter {
public:
    bool start(std::function<void()> work, std::size_t, Priority) override
    {
        if (refused < 0 || (refused > 0 && refusals++ < refused))
            return false;
        ++started;
        std::thread(std::move(work)).detach();
        return true;
    }
    int refused = 0;
    std::atomic<int> refusals{0}, started{0};
};

} // namespace rm
