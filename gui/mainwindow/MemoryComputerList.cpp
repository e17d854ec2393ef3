#include "gui/mainwindow/MemoryComputerList.h"

namespace rm {

int MemoryComputerList::rowCount() const
{
    return static_cast<int>(rows.size());
}

const std::string& MemoryComputerList::cellText(int row, int column) const
{
    static const std::string none;
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return none;
    return rows[row].cells[column];
}

void MemoryComputerList::setCellText(int row, int column, const std::string& text)
{
    if (row >= 0 && row < rowCount() && column >= 0 && column < columnCount())
        rows[row].cells[column] = text;
}

void MemoryComputerList::insertRow(int row, const std::string& name)
{
    Row r;
    r.cells[0] = name;
    rows.insert(rows.begin() + row, r);
}

void MemoryComputerList::deleteRow(int row)
{
    rows.erase(rows.begin() + row);
}

void MemoryComputerList::deleteAllRows()
{
    rows.clear();
}

bool MemoryComputerList::isSelected(int row) const
{
    return rows[row].selected;
}

void MemoryComputerList::setSelected(int row, bool selected)
{
    rows[row].selected = selected;
}

void MemoryComputerList::swapRows(int a, int b)
{
    std::swap(rows[a], rows[b]);
}

std::vector<std::string> MemoryComputerList::names() const
{
    std::vector<std::string> out;
    for (const Row& r : rows)
        out.push_back(r.cells[0]);
    return out;
}

} // namespace rm
