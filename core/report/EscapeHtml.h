#pragma once

#include <string>

namespace rm {

// "&", then "<", then ">" as references; everything else as it is.
std::string escapeHtml(const std::string& text);

} // namespace rm
