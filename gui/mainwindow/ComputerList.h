#pragma once

#include "core/search/SearchOutcome.h"
#include "gui/kit/SortableRows.h"

#include <vector>

namespace rm {

// The computer list: the rows themselves, no collection behind them. Each
// row is a computer and, once searched, its account, shown as the six cells
// of ComputerCells; a row carries its own selection. (A virtual base: a list
// control's model offers the same rows to its sort.)
class ComputerList : public virtual SortableRows {
public:
    virtual const ComputerRow& row(int row) const = 0;
    // Every row replaced; none selected.
    virtual void setRows(std::vector<ComputerRow> rows) = 0;
    virtual void setAccount(int row, const AccountInfo& account) = 0;
    virtual bool isSelected(int row) const = 0;
    virtual void setSelected(int row, bool selected) = 0;
    // Every row selected; row by row unless the list can do it at once.
    virtual void selectAll();
};

// The selected rows' indices, top to bottom.
std::vector<int> selectedRows(const ComputerList& list);
bool hasSelection(const ComputerList& list);

} // namespace rm
