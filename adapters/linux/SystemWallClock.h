#pragma once

#include "core/ports/WallClock.h"

namespace rm {

class SystemWallClock : public WallClock {
public:
    std::time_t now() override;
};

} // namespace rm
