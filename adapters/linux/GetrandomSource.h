#pragma once

#include "core/ports/RandomSource.h"

namespace rm {

// The kernel's random source. Waits until it is seeded; ends the process on
// an error it cannot retry, rather than answer with weaker bytes.
class GetrandomSource : public RandomSource {
public:
    void fill(std::span<std::uint8_t> bytes) override;
};

} // namespace rm
