#pragma once

#include "core/passwords/PasswordOptions.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace rm {

// The character sets the password options choose from, and the conversion
// between a length in characters and a strength in bits.
class PasswordAlphabet {
public:
    enum CharacterClass { Lowercase, Uppercase, Numerals, Symbols };
    // [0]: every character; [1]: without look-alikes.
    static const std::array<std::array<std::string_view, 4>, 2> Sets;

    // wordCount: the words of the dictionary, in passphrase mode.
    explicit PasswordAlphabet(const PasswordOptions& options, std::int64_t wordCount = 0);

    std::int64_t alphabetSize() const { return size_; }
    // Both add one before truncating; an empty alphabet gives 1. Results
    // beyond the 32-bit range stop at its limits.
    std::int32_t lengthForBits() const;
    std::int32_t bitsForLength(std::int32_t length) const;

private:
    std::int64_t size_ = 0;
    std::int32_t bits_;
};

} // namespace rm
