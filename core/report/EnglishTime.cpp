#include "core/report/EnglishTime.h"

#include "core/ports/LocalTime.h"

#include <cstdio>

namespace rm {
namespace {

constexpr const char* Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string number(int value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

// Out-of-range fields (a hand-made tm) give "?" rather than reading past a table.
const char* nameOf(const char* const* names, int count, int index)
{
    return index >= 0 && index < count ? names[index] : "?";
}

} // namespace

std::string formatEnglishTime(const std::tm& t, std::string_view pattern)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 == pattern.size()) {
            out += pattern[i];
            continue;
        }
        switch (pattern[++i]) {
        case 'a': out += nameOf(Days, 7, t.tm_wday); break;
        case 'b': out += nameOf(Months, 12, t.tm_mon); break;
        case 'd': out += number(t.tm_mday, 2); break;
        case 'Y': out += number(t.tm_year + 1900, 4); break;
        case 'I': out += number(t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12, 2); break;
        case 'M': out += number(t.tm_min, 2); break;
        case 'S': out += number(t.tm_sec, 2); break;
        case 'p': out += t.tm_hour < 12 ? "AM" : "PM"; break;
        case '%': out += '%'; break;
        default:
            out += '%';
            out += pattern[i];
        }
    }
    return out;
}

std::string reportTimeText(std::time_t time)
{
    return formatEnglishTime(localTime(time), "%d-%b-%Y %I.%M.%S %p");
}

} // namespace rm
