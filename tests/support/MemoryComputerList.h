#pragma once

#include "core/report/ComputerCells.h"
#include "gui/mainwindow/ComputerList.h"

#include <vector>

namespace rm {

// The computer list in memory, for the window's logic without a window.
class MemoryComputerList : public ComputerList {
public:
    struct Row {
        ComputerRow data;
        ComputerCells cells;
        bool selected = false;
    };

    int rowCount() const override { return static_cast<int>(rows.size()); }
    int columnCount() const override { return static_cast<int>(ComputerColumnHeaders.size()); }
    const std::string& cellText(int row, int column) const override { return rows.at(row).cells.at(column); }
    void swapRows(int a, int b) override { std::swap(rows.at(a), rows.at(b)); }
    const ComputerRow& row(int row) const override { return rows.at(row).data; }
    void setRows(std::vector<ComputerRow> replacement) override
    {
        rows.clear();
        for (ComputerRow& r : replacement)
            rows.push_back({r, computerCells(r), false});
    }
    void setAccount(int row, const AccountInfo& account) override
    {
        Row& r = rows.at(row);
        r.data.account = account;
        r.cells = computerCells(r.data);
    }
    bool isSelected(int row) const override { return rows.at(row).selected; }
    void setSelected(int row, bool selected) override { rows.at(row).selected = selected; }

    // Cell 0 of every row, top to bottom.
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const Row& r : rows)
            out.push_back(r.cells[CellName]);
        return out;
    }

    std::vector<Row> rows;
};

} // namespace rm
