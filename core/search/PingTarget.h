#pragma once

#include <cstdint>
#include <string>

namespace rm {

// One computer to ping; its position in the sweep's table is its index.
struct PingTarget {
    std::string name;
    bool answered = false;
    std::uint32_t address = 0; // network byte order; 0: did not resolve
};

} // namespace rm
