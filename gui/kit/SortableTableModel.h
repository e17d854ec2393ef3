#pragma once

#include "gui/kit/SortableRows.h"

#include <QAbstractTableModel>

#include <cstdint>

namespace rm {

// The rows a sortable list control shows: a table model over SortableRows
// whose rows also carry their selection and focus state, so that both move
// with a row when the rows are sorted. The view only mirrors that state.
class SortableTableModel : public QAbstractTableModel, public virtual SortableRows {
    Q_OBJECT
public:
    enum RowState : std::uint8_t { Selected = 1, Focused = 2 };

    // The toolkit asks with a parent index, the sort without.
    using SortableRows::columnCount;
    using SortableRows::rowCount;
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    virtual std::uint8_t rowState(int row) const = 0;
    // What the user did in the view; signals nothing.
    virtual void setRowState(int row, std::uint8_t state) = 0;

signals:
    // The program changed the states of rows (a selection, a sort).
    void rowStatesChanged();
};

} // namespace rm
