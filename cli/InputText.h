#pragma once

#include <iosfwd>
#include <string>

namespace rm {

// The whole of a file, or of `in` for "-"; at most 16 MiB. Throws UsageError.
std::string readInputText(const std::string& path, std::istream& in);

} // namespace rm
