#pragma once

#include <string>

namespace rm {

// Letters a-z fold to A-Z; everything else compares as it is.
char toUpperAscii(char c);
bool equalsIgnoringCase(const std::string& a, const std::string& b);

} // namespace rm
