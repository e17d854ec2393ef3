#pragma once

#include <cstdint>
#include <span>

namespace rm {

// Bytes from a cryptographic random source.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Fills `bytes`; never answers with fewer.
    virtual void fill(std::span<std::uint8_t> bytes) = 0;
};

} // namespace rm
