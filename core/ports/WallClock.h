#pragma once

#include <ctime>

namespace rm {

// The calendar time, for what is stamped with the moment it was made.
class WallClock {
public:
    virtual ~WallClock() = default;
    virtual std::time_t now() = 0;
};

} // namespace rm
