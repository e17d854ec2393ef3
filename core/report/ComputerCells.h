#pragma once

#include "core/search/SearchOutcome.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace rm {

// The six cells of a row of the computer list, in column order.
enum ComputerCell { CellName, CellType, CellUser, CellEnabled, CellGroups, CellPasswordAge };
inline constexpr std::array<const char*, 6> ComputerColumnHeaders{"Computer Name", "Type",   "User",
                                                                  "Enabled",       "Groups", "Password Age"};
using ComputerCells = std::array<std::string, ComputerColumnHeaders.size()>;

// A row's texts: a discovered computer fills only its name and type.
ComputerCells computerCells(const ComputerRow& row);

// "%d days" of an age in seconds, truncated toward zero.
std::string passwordAgeText(std::int32_t seconds);
std::string yesNo(bool yes);
// Joined by ", ".
std::string groupsText(const std::vector<std::string>& groups);

} // namespace rm
