#include "adapters/linux/SystemWallClock.h"

namespace rm {

std::time_t SystemWallClock::now()
{
    return std::time(nullptr);
}

} // namespace rm
