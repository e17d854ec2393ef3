#pragma once

#include "core/passwords/PasswordOptions.h"
#include "core/ports/RandomSource.h"
#include "core/ports/Secret.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace rm {

// What one generated password is drawn from: the alphabet and length, or
// the word list and word count, checked once.
class PasswordRecipe {
public:
    // Why no recipe: too weak (below MinimumBits), or nothing to draw from.
    struct Refusal {
        std::string reason;
    };
    static constexpr double MinimumBits = 64.0;

    // `words`: the dictionary, in passphrase mode. `length`: characters or
    // words, instead of what the options' bits convert to.
    static std::variant<PasswordRecipe, Refusal> make(const PasswordOptions& options, std::vector<std::string> words = {},
                                                      std::optional<std::int32_t> length = std::nullopt);

    // The strength of one draw: log2 of the number of equally likely results.
    double entropyBits() const;
    // Characters, or words in passphrase mode.
    std::int32_t length() const;
    Secret draw(RandomSource& random) const;

private:
    PasswordRecipe() = default;

    bool phrases_ = false;
    // Password mode: the characters, and the class of each as a bit.
    std::string alphabet_;
    std::vector<std::uint8_t> classBits_;
    std::uint8_t allClasses_ = 0;
    // Passphrase mode: what one word is drawn from.
    std::vector<std::string> words_;
    std::size_t longestWord_ = 0;
    std::int32_t length_ = 0;
    double bits_ = 0;
};

} // namespace rm
