#pragma once

#include "core/jobs/TickClock.h"
#include "core/ports/WallClock.h"

#include <atomic>
#include <cstdint>
#include <ctime>

namespace rm {

// The clocks of the tests: milliseconds and the calendar time, each moving
// only when the test (or a double standing for the network) moves it.
class ManualClock : public TickClock {
public:
    std::uint32_t now() override { return ms.load(); }
    std::atomic<std::uint32_t> ms{100000};
};

class ManualWallClock : public WallClock {
public:
    std::time_t now() override { return time; }
    std::time_t time = 0;
};

} // namespace rm
