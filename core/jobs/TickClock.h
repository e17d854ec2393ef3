#pragma once

#include <cstdint>

namespace rm {

// Milliseconds of a steady clock that wraps at 32 bits, as timeGetTime does.
class TickClock {
public:
    virtual ~TickClock() = default;
    virtual std::uint32_t now() = 0;
};

} // namespace rm
