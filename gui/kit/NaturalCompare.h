#pragma once

#include <string>

namespace rm {

// Case-insensitive natural order: embedded numbers compare by value (PC2
// before PC10), runs with a leading zero as fractions, leading blanks skipped.
int naturalCompare(const std::string& a, const std::string& b);

} // namespace rm
