#include "adapters/netapi/HelperDemand.h"

#include <algorithm>
#include <cmath>

namespace rm {

namespace {

// About the last 32 leases count.
constexpr double Keep = 31.0 / 32.0;
constexpr double UsableShareOfACore = 0.75;

double seconds(std::chrono::nanoseconds d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace

void HelperDemand::record(std::chrono::nanoseconds cpu, std::chrono::nanoseconds held)
{
    cpu_ = cpu_ * Keep + seconds(std::max(cpu, std::chrono::nanoseconds::zero()));
    held_ = held_ * Keep + seconds(std::max(held, std::chrono::nanoseconds::zero()));
}

std::size_t HelperDemand::worthwhile(std::size_t steady, std::size_t most) const
{
    steady = std::min(steady, most);
    if (held_ <= 0)
        return steady;
    const double share = cpu_ / held_;
    const double helpers = share > 0 ? cores_ * UsableShareOfACore / share : static_cast<double>(most);
    if (helpers >= static_cast<double>(most))
        return most;
    return std::max(steady, static_cast<std::size_t>(std::floor(helpers)));
}

} // namespace rm
