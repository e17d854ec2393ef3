#include "gui/mainwindow/ComputerTableModel.h"

#include <utility>

namespace rm {

int ComputerTableModel::rowCount() const
{
    return static_cast<int>(rows_.size());
}

int ComputerTableModel::columnCount() const
{
    return static_cast<int>(ComputerColumns.size());
}

const std::string& ComputerTableModel::cellText(int row, int column) const
{
    static const std::string none;
    if (!isRow(row) || column < 0 || column >= columnCount())
        return none;
    return rows_[row]->record.cells[column];
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

void ComputerTableModel::setCellText(int row, int column, const std::string& text)
{
    if (!isRow(row) || column < 0 || column >= columnCount())
        return;
    rows_[row]->record.cells[column] = text;
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
}

void ComputerTableModel::insertRow(int row, const std::string& name)
{
    if (row < 0 || row > rowCount())
        return;
    auto added = std::make_unique<Row>();
    added->record.cells[CellName] = name;
    beginInsertRows(QModelIndex(), row, row);
    rows_.insert(rows_.begin() + row, std::move(added));
    endInsertRows();
}

void ComputerTableModel::deleteRow(int row)
{
    if (!isRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
}

void ComputerTableModel::deleteAllRows()
{
    beginResetModel();
    rows_.clear();
    endResetModel();
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
            return QString::fromUtf8(ComputerColumns[section].header);
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return SortableTableModel::headerData(section, orientation, role);
}

} // namespace rm
