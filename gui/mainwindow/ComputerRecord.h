#pragma once

#include <array>
#include <string>

namespace rm {

// The six cells of a computer row, in column order.
enum ComputerCell { CellName, CellType, CellUser, CellEnabled, CellGroups, CellPasswordAge };

struct ComputerColumn {
    const char* header;
    int width; // pixels
};

inline constexpr std::array<ComputerColumn, 6> ComputerColumns{{
    {"Computer Name", 180},
    {"Type", 150},
    {"User", 80},
    {"Enabled", 50},
    {"Groups", 300},
    {"Password Age", 120},
}};

// One row of the computer list: its six texts, addressed by ComputerCell.
struct ComputerRecord {
    std::array<std::string, ComputerColumns.size()> cells;
};

} // namespace rm
