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

void HelperDemand::record(std::chrono::nanoseconds demand, std::chrono::nanoseconds held)
{
    demand_ = demand_ * Keep + seconds(std::max(demand, std::chrono::nanoseconds::zero()));
    held_ = held_ * Keep + seconds(std::max(held, std::chrono::nanoseconds::zero()));
}

std::size_t HelperDemand::worthwhile(std::size_t steady, std::size_t most) const
{
    steady = std::min(steady, most);
    // Nothing known yet, or nothing measured: no more than the steady number.
    if (held_ <= 0 || demand_ <= 0)
        return steady;
    const double helpers = cores_ * UsableShareOfACore / (demand_ / held_);
    if (helpers >= static_cast<double>(most))
        return most;
    return std::max(steady, static_cast<std::size_t>(std::floor(helpers)));
}

} // namespace rm
