#pragma once

#include "core/jobs/CancelToken.h"
#include "core/jobs/ThreadStarter.h"

#include <cstddef>
#include <functional>

namespace rm {

// How many threads work on the items at most, and what each is given.
struct ParallelSettings {
    std::size_t width = 1;
    std::size_t stackBytes = 0;
    ThreadStarter::Priority priority = ThreadStarter::Priority::Normal;
};

// Works on items 0..count-1 at once: up to `width` threads of their own,
// each taking the next item until none is left or the cancel is set. An item
// whose thread could not be started goes to `unstarted` on the calling
// thread instead. Returns once every thread has ended; items never taken
// after a cancel go to neither.
void workInParallel(ThreadStarter& threads, const ParallelSettings& settings, std::size_t count,
                    const CancelToken& cancel, const std::function<void(std::size_t)>& work,
                    const std::function<void(std::size_t)>& unstarted);

} // namespace rm
