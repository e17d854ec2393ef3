#pragma once

#include <cstdint>
#include <string>

namespace rm {

// The random-password choices; the settings name each as it is stored.
struct PasswordOptions {
    bool generateUnique = false;
    bool passwords = true;
    bool lowercase = true;
    bool uppercase = true;
    bool numerals = true;
    bool symbols = true;
    bool noSimilar = false;
    bool randomCaps = false;
    std::string dictionaryFile = "dict.txt";
    std::int32_t bitsOfEntropy = 128;
    bool saveToFile = false;
    bool saveToLog = true;
    // Who can read the generated passwords back: key fingerprints or
    // addresses, parted by commas.
    std::string recipients;

    bool operator==(const PasswordOptions&) const = default;
};

} // namespace rm
