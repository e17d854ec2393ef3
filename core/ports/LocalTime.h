#pragma once

#include <ctime>

namespace rm {

// The local time of a moment, safe to call from any thread.
std::tm localTime(std::time_t time);

} // namespace rm
