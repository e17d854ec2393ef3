#include "adapters/linux/SteadyTickClock.h"

#include <chrono>

namespace rm {

std::uint32_t SteadyTickClock::now()
{
    using namespace std::chrono;
    return static_cast<std::uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace rm
