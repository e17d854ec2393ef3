#include "gui/mainwindow/ComputerList.h"

namespace rm {

std::vector<int> selectedRows(const ComputerList& list)
{
    std::vector<int> rows;
    for (int row = 0, n = list.rowCount(); row < n; ++row)
        if (list.isSelected(row))
            rows.push_back(row);
    return rows;
}

bool hasSelection(const ComputerList& list)
{
    for (int row = 0, n = list.rowCount(); row < n; ++row)
        if (list.isSelected(row))
            return true;
    return false;
}

void ComputerList::selectAll()
{
    for (int row = 0, n = rowCount(); row < n; ++row)
        setSelected(row, true);
}

} // namespace rm
