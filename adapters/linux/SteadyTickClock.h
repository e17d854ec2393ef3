#pragma once

#include "core/jobs/TickClock.h"

namespace rm {

class SteadyTickClock : public TickClock {
public:
    std::uint32_t now() override;
};

} // namespace rm
