#pragma once

#include "core/ports/Threads.h"

namespace rm {

class PosixThreadStarter : public ThreadStarter {
public:
    bool start(std::function<void()> work, std::size_t stackBytes, Priority priority) override;
};

class SteadyTickClock : public TickClock {
public:
    std::uint32_t now() override;
};

} // namespace rm
