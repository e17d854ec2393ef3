#include "gui/mainwindow/ComputerList.h"

#include "core/ports/Text.h"

#include <cstdio>

namespace rm {

std::string passwordAgeText(std::int32_t seconds)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d days", static_cast<int>(seconds / 86400));
    return buf;
}

void insertDiscovered(ComputerList& list, const std::string& name, const std::string& type)
{
    list.insertRow(0, name);
    list.setCellText(0, CellType, type);
}

int findRowByName(const ComputerList& list, const std::string& name)
{
    for (int row = 0, n = list.rowCount(); row < n; ++row)
        if (equalsIgnoringCase(list.cellText(row, CellName), name))
            return row;
    return -1;
}

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

void updateAfterOperations(ComputerList& list, const std::vector<AccountOperation>& operations)
{
    for (const AccountOperation& op : operations) {
        if (!op.processed || op.rowIndex < 0 || op.rowIndex >= list.rowCount())
            continue;
        if (op.renameSucceeded)
            list.setCellText(op.rowIndex, CellUser, op.newUserName);
        if (op.enableSucceeded)
            list.setCellText(op.rowIndex, CellEnabled, op.enable ? "Yes" : "No");
    }
}

} // namespace rm
