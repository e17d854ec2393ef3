#pragma once

#include <cstddef>
#include <functional>

namespace rm {

// Starts detached threads with a chosen stack size and priority.
class ThreadStarter {
public:
    enum class Priority { Normal, BelowNormal };
    virtual ~ThreadStarter() = default;
    // False when the thread could not be started; the work then never runs.
    virtual bool start(std::function<void()> work, std::size_t stackBytes, Priority priority) = 0;
};

} // namespace rm
