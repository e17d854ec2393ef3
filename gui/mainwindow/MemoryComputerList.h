#pragma once

#include "gui/mainwindow/ComputerList.h"

#include <vector>

namespace rm {

// Rows in memory, for driving list logic without a window (a program
// without one, and the tests).
class MemoryComputerList : public ComputerList {
public:
    struct Row : ComputerRecord {
        bool selected = false;
    };

    int rowCount() const override;
    const std::string& cellText(int row, int column) const override;
    void setCellText(int row, int column, const std::string& text) override;
    void insertRow(int row, const std::string& name) override;
    void deleteRow(int row) override;
    void deleteAllRows() override;
    bool isSelected(int row) const override;
    void setSelected(int row, bool selected) override;
    int columnCount() const override { return 6; }
    void swapRows(int a, int b) override;

    // Cell 0 of every row, top to bottom.
    std::vector<std::string> names() const;

    std::vector<Row> rows;
};

} // namespace rm
