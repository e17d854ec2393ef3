#include "gui/dialogs/FormatDuration.h"

namespace rm {
namespace {

std::string piece(std::uint32_t n, const char* unit)
{
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s");
}

} // namespace

std::string formatDuration(std::uint32_t s)
{
    const std::uint32_t hours = s / 3600, minutes = s % 3600 / 60, seconds = s % 60;
    if (hours > 0)
        return piece(hours, "hour") + ", " + piece(minutes, "minute");
    if (minutes >= 6)
        return piece(minutes, "minute");
    if (minutes >= 1)
        return piece(minutes, "minute") + ", " + piece(seconds, "second");
    return piece(seconds, "second");
}

} // namespace rm
