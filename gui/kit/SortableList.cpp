#include "gui/kit/SortableList.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include <algorithm>

namespace rm {

SortableList::SortableList(QTableView* view, SortableTableModel* rows)
    : QObject(view), view_(view), rows_(rows)
{
    view_->setModel(rows_);
    // The header reports left-button clicks only, and not the end of a drag.
    connect(view_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { sorter_.headerClicked(*rows_, column); });
    QItemSelectionModel* selection = view_->selectionModel();
    connect(selection, &QItemSelectionModel::selectionChanged, this, &SortableList::takeSelection);
    connect(selection, &QItemSelectionModel::currentRowChanged, this, &SortableList::takeCurrentRow);
    connect(rows_, &SortableTableModel::rowStatesChanged, this, &SortableList::showStatesLater);
    connect(rows_, &QAbstractItemModel::rowsAboutToBeInserted, this, &SortableList::dropShownSelection);
    connect(rows_, &QAbstractItemModel::rowsAboutToBeRemoved, this, &SortableList::dropShownSelection);
}

void SortableList::setState(int row, std::uint8_t bits, bool on)
{
    const std::uint8_t state = rows_->rowState(row);
    rows_->setRowState(row, on ? state | bits : state & ~bits);
}

void SortableList::takeSelection(const QItemSelection& selected, const QItemSelection& deselected)
{
    if (showing_)
        return;
    for (const QItemSelectionRange& range : deselected)
        for (int row = range.top(); row <= range.bottom(); ++row)
            setState(row, SortableTableModel::Selected, false);
    for (const QItemSelectionRange& range : selected)
        for (int row = range.top(); row <= range.bottom(); ++row)
            setState(row, SortableTableModel::Selected, true);
}

void SortableList::takeCurrentRow(const QModelIndex& current, const QModelIndex& previous)
{
    if (showing_)
        return;
    if (previous.isValid() && previous.row() < rows_->rowCount())
        setState(previous.row(), SortableTableModel::Focused, false);
    if (current.isValid())
        setState(current.row(), SortableTableModel::Focused, true);
}

// Every selected range the view holds is moved row by row when rows are
// inserted or removed above it; an empty view selection moves nothing.
void SortableList::dropShownSelection()
{
    QItemSelectionModel* selection = view_->selectionModel();
    if (!selection->hasSelection())
        return;
    showing_ = true;
    selection->clearSelection();
    showing_ = false;
    showStatesLater();
}

void SortableList::showStatesLater()
{
    if (showPending_)
        return;
    showPending_ = true;
    QMetaObject::invokeMethod(this, &SortableList::showStates, Qt::QueuedConnection);
}

// One selection operation for all selected rows, each run of them one range.
void SortableList::showStates()
{
    showPending_ = false;
    QItemSelection runs;
    int focused = -1, runStart = -1;
    const int rows = rows_->rowCount(), last = rows_->columnCount() - 1;
    for (int row = 0; row <= rows; ++row) {
        const std::uint8_t state = row < rows ? rows_->rowState(row) : 0;
        if (state & SortableTableModel::Focused)
            focused = row;
        const bool selected = state & SortableTableModel::Selected;
        if (selected && runStart < 0)
            runStart = row;
        if (!selected && runStart >= 0) {
            runs.append(QItemSelectionRange(rows_->index(runStart, 0), rows_->index(row - 1, last)));
            runStart = -1;
        }
    }
    QItemSelectionModel* selection = view_->selectionModel();
    showing_ = true;
    // Cleared first: a replacement compares every old range with every new one.
    selection->clearSelection();
    selection->select(runs, QItemSelectionModel::Select);
    if (focused >= 0 && selection->currentIndex().row() != focused)
        selection->setCurrentIndex(rows_->index(focused, std::max(0, selection->currentIndex().column())),
                                   QItemSelectionModel::NoUpdate);
    showing_ = false;
}

} // namespace rm
