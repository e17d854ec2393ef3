#pragma once

#include "accountsearch/ColumnSort.h"
#include "mainwindow/ComputerList.h"

class QTableWidget;

namespace rm {

// The main window's list control as a ComputerList: report view with six
// columns, whole-row multiple selection, grid lines and movable headers; a
// left click on a header sorts the rows in place.
class CColumnSortList : public ComputerList {
public:
    explicit CColumnSortList(QTableWidget* table);

    // Inserts the six columns with their headers and widths.
    void insertColumns();

    int rowCount() const override;
    std::string cellText(int row, int column) const override;
    void setCellText(int row, int column, const std::string& text) override;
    void insertRow(int row, const std::string& name) override;
    void deleteRow(int row) override;
    void deleteAllRows() override;
    bool isSelected(int row) const override;
    void setSelected(int row, bool selected) override;
    int columnCount() const override;
    void swapRows(int a, int b) override;
    void beginRowMoves() override;
    void endRowMoves() override;
    const ColumnSorter& sorter() const { return sorter_; }

    QTableWidget* table() const { return table_; }

private:
    QTableWidget* table_;
    ColumnSorter sorter_;
    // During row moves the selection rides in the rows' first items, as
    // state of the item, and the model's notifications are held back.
    bool moving_ = false;
    bool signalsWereBlocked_ = false;
};

} // namespace rm
