#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace rm {

// strftime's %a %b %d %Y %I %M %S %p (and %%) with English names and AM/PM
// whatever the user's locale; other characters are copied.
std::string formatEnglishTime(const std::tm& time, std::string_view pattern);

// "07-Dec-2026 02.05.09 PM": a report's moment of creation in local time,
// in its page and in its default file name.
std::string reportTimeText(std::time_t time);

} // namespace rm
