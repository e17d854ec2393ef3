#pragma once

#include "gui/kit/SortableRows.h"
#include "gui/mainwindow/ComputerRecord.h"
#include "core/batch/AccountOperation.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rm {

// "%d days" of an age in seconds, truncated toward zero.
std::string passwordAgeText(std::int32_t seconds);

// The computer list: the rows themselves, no collection behind them. Cells
// are addressed by column index whatever order the columns are shown in.
// (A virtual base: a list control's model offers the same rows to its sort.)
class ComputerList : public virtual SortableRows {
public:
    virtual void setCellText(int row, int column, const std::string& text) = 0;
    // A row with cell 0 set and the others empty; `name` may be a cell of this list.
    virtual void insertRow(int row, const std::string& name) = 0;
    virtual void deleteRow(int row) = 0;
    virtual void deleteAllRows() = 0;
    virtual bool isSelected(int row) const = 0;
    virtual void setSelected(int row, bool selected) = 0;
    // Every row selected; row by row unless the list can do it at once.
    virtual void selectAll();
};

// A discovered computer goes to the top of the list.
void insertDiscovered(ComputerList& list, const std::string& name, const std::string& type);
// The first row from the top whose name equals this one ignoring case, or -1.
int findRowByName(const ComputerList& list, const std::string& name);
std::vector<int> selectedRows(const ComputerList& list);
bool hasSelection(const ComputerList& list);
// Writes the new names and enabled states of the processed operations back.
void updateAfterOperations(ComputerList& list, const std::vector<AccountOperation>& operations);

} // namespace rm
