#pragma once

#include <string>

namespace rm {

// Letters a-z fold to A-Z; everything else compares as it is.
// Inline: the list sort folds every character it compares.
inline char toUpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b);
// The text with a-z folded: a key that equalsIgnoringCase agrees with.
std::string foldedAscii(std::string text);

} // namespace rm
