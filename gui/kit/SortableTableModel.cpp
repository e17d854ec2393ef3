#include "gui/kit/SortableTableModel.h"

namespace rm {

int SortableTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rowCount();
}

int SortableTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columnCount();
}

QVariant SortableTableModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    return QString::fromStdString(cellText(index.row(), index.column()));
}

} // namespace rm
