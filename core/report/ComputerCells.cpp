#include "core/report/ComputerCells.h"

#include <cstdio>

namespace rm {

std::string passwordAgeText(std::int32_t seconds)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d days", static_cast<int>(seconds / 86400));
    return buf;
}

std::string yesNo(bool yes)
{
    return yes ? "Yes" : "No";
}

std::string groupsText(const std::vector<std::string>& groups)
{
    std::string text;
    for (std::size_t i = 0; i < groups.size(); ++i)
        text += (i ? ", " : "") + groups[i];
    return text;
}

ComputerCells computerCells(const ComputerRow& row)
{
    ComputerCells cells;
    cells[CellName] = row.computer.name;
    cells[CellType] = row.computer.type;
    if (const auto& a = row.account) {
        cells[CellUser] = a->user;
        cells[CellEnabled] = yesNo(a->enabled);
        cells[CellGroups] = groupsText(a->groups);
        cells[CellPasswordAge] = passwordAgeText(a->passwordAgeSeconds);
    }
    return cells;
}

} // namespace rm
