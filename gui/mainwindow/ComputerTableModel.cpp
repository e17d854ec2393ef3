#include "gui/mainwindow/ComputerTableModel.h"

#include <utility>

namespace rm {

int ComputerTableModel::rowCount() const
{
    return static_cast<int>(rows_.size());
}

int ComputerTableModel::columnCount() const
{
    return static_cast<int>(ComputerColumnHeaders.size());
}

const std::string& ComputerTableModel::cellText(int row, int column) const
{
    static const std::string none;
    if (!isRow(row) || column < 0 || column >= columnCount())
        return none;
    return rows_[row]->cells[column];
}

void ComputerTableModel::rowsChanged(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}

void ComputerTableModel::swapRows(int a, int b)
{
    if (a == b || !isRow(a) || !isRow(b))
        return;
    std::swap(rows_[a], rows_[b]);
    if (moving_)
        return;
    rowsChanged(a, a);
    rowsChanged(b, b);
    emit rowStatesChanged();
}

void ComputerTableModel::beginRowMoves()
{
    moving_ = true;
}

void ComputerTableModel::endRowMoves()
{
    moving_ = false;
    if (rows_.empty())
        return;
    rowsChanged(0, rowCount() - 1);
    emit rowStatesChanged();
}

const ComputerRow& ComputerTableModel::row(int row) const
{
    return rows_.at(static_cast<std::size_t>(row))->data;
}

void ComputerTableModel::setRows(std::vector<ComputerRow> rows)
{
    beginResetModel();
    rows_.clear();
    for (ComputerRow& r : rows) {
        auto added = std::make_unique<Row>();
        added->cells = computerCells(r);
        added->data = std::move(r);
        rows_.push_back(std::move(added));
    }
    endResetModel();
}

void ComputerTableModel::setAccount(int row, const AccountInfo& account)
{
    if (!isRow(row))
        return;
    Row& r = *rows_[row];
    r.data.account = account;
    r.cells = computerCells(r.data);
    rowsChanged(row, row);
}

bool ComputerTableModel::isSelected(int row) const
{
    return isRow(row) && (rows_[row]->state & Selected);
}

void ComputerTableModel::setSelected(int row, bool selected)
{
    if (!isRow(row))
        return;
    setRowState(row, selected ? rows_[row]->state | Selected : rows_[row]->state & ~Selected);
    emit rowStatesChanged();
}

void ComputerTableModel::selectAll()
{
    for (auto& row : rows_)
        row->state |= Selected;
    emit rowStatesChanged();
}

std::uint8_t ComputerTableModel::rowState(int row) const
{
    return isRow(row) ? rows_[row]->state : 0;
}

void ComputerTableModel::setRowState(int row, std::uint8_t state)
{
    if (isRow(row))
        rows_[row]->state = state;
}

QVariant ComputerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount()) {
        if (role == Qt::DisplayRole)
            return QString::fromUtf8(ComputerColumnHeaders[section]);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return SortableTableModel::headerData(section, orientation, role);
}

} // namespace rm
