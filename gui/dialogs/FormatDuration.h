#pragma once

#include <cstdint>
#include <string>

namespace rm {

// "2 hours, 2 minutes", "5 minutes, 59 seconds", "6 minutes", "0 seconds".
std::string formatDuration(std::uint32_t seconds);

} // namespace rm
