#pragma once

#include "gui/kit/ColumnSort.h"
#include "gui/kit/SortableTableModel.h"

#include <QObject>

class QItemSelection;
class QTableView;

namespace rm {

// The sortable list control, attached to a table view over a
// SortableTableModel: a left click on a column heading sorts the rows in
// place. The rows' states are the truth about selection and focus; the view's
// selection follows them once control returns to the event loop, so filling,
// selecting and sorting many rows costs no selection bookkeeping per row.
// The view owns it.
class SortableList : public QObject {
    Q_OBJECT
public:
    SortableList(QTableView* view, SortableTableModel* rows);

    QTableView* view() const { return view_; }
    const ColumnSorter& sorter() const { return sorter_; }

private:
    void takeSelection(const QItemSelection& selected, const QItemSelection& deselected);
    void takeCurrentRow(const QModelIndex& current, const QModelIndex& previous);
    void setState(int row, std::uint8_t bits, bool on);
    void dropShownSelection();
    void showStatesLater();
    void showStates();

    QTableView* view_;
    SortableTableModel* rows_;
    ColumnSorter sorter_;
    bool showing_ = false; // the view's own selection changes are ours
    bool showPending_ = false;
};

} // namespace rm
