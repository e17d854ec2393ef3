#pragma once

#include <cstdint>
#include <string>

namespace rm {

// The random-password choices. Field names are the stored names.
struct PasswordOptions {
    bool GenerateUnique = false;
    bool Passwords = true;
    bool Lowercase = true;
    bool Uppercase = true;
    bool Numerals = true;
    bool Symbols = true;
    bool NoSimilar = false;
    bool RandomCaps = false;
    std::string DictionaryFile = "dict.txt";
    std::int32_t BitsOfEntropy = 128;
    bool SaveToFile = false;
    bool SaveToLog = true;

    bool operator==(const PasswordOptions&) const = default;
};

} // namespace rm
