#include "mainwindow/CColumnSortList.h"

#include <QHeaderView>
#include <QTableWidget>

namespace rm {

CColumnSortList::CColumnSortList(QTableWidget* table) : table_(table) {}

void CColumnSortList::insertColumns()
{
    table_->setColumnCount(static_cast<int>(ComputerColumns.size()));
    QHeaderView* header = table_->horizontalHeader();
    for (int c = 0; c < static_cast<int>(ComputerColumns.size()); ++c) {
        auto* item = new QTableWidgetItem(QString::fromUtf8(ComputerColumns[c].header));
        item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        table_->setHorizontalHeaderItem(c, item);
        header->resizeSection(c, ComputerColumns[c].width);
    }
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table_->setShowGrid(true);
    table_->setSortingEnabled(false); // rows move only through the sorter
    // The header reports left-button clicks only.
    QObject::connect(header, &QHeaderView::sectionClicked, table_,
                     [this](int column) { sorter_.headerClicked(*this, column); });
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
}

int CColumnSortList::rowCount() const
{
    return table_->rowCount();
}

std::string CColumnSortList::cellText(int row, int column) const
{
    const QTableWidgetItem* item = table_->item(row, column);
    return item ? item->text().toStdString() : std::string();
}

void CColumnSortList::setCellText(int row, int column, const std::string& text)
{
    if (row < 0 || row >= table_->rowCount() || column < 0 || column >= table_->columnCount())
        return;
    if (QTableWidgetItem* item = table_->item(row, column))
        item->setText(QString::fromStdString(text));
    else
        table_->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
}

void CColumnSortList::insertRow(int row, const std::string& name)
{
    table_->insertRow(row);
    setCellText(row, CellName, name);
}

void CColumnSortList::deleteRow(int row)
{
    table_->removeRow(row);
}

void CColumnSortList::deleteAllRows()
{
    table_->setRowCount(0);
}

bool CColumnSortList::isSelected(int row) const
{
    return table_->selectionModel()->isRowSelected(row, QModelIndex());
}

void CColumnSortList::setSelected(int row, bool selected)
{
    const QModelIndex index = table_->model()->index(row, 0);
    table_->selectionModel()->select(
        index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                   | QItemSelectionModel::Rows);
}

} // namespace rm

namespace rm {

int CColumnSortList::columnCount() const
{
    return table_->columnCount();
}

namespace {
constexpr int SelectedRole = Qt::UserRole + 1;
}

void CColumnSortList::swapRows(int a, int b)
{
    if (a == b)
        return;
    if (!moving_) {
        beginRowMoves();
        swapRows(a, b);
        endRowMoves();
        return;
    }
    for (int c = 0; c < table_->columnCount(); ++c) {
        QTableWidgetItem* itemA = table_->takeItem(a, c);
        QTableWidgetItem* itemB = table_->takeItem(b, c);
        table_->setItem(a, c, itemB);
        table_->setItem(b, c, itemA);
    }
}

void CColumnSortList::beginRowMoves()
{
    moving_ = true;
    for (int r = 0; r < table_->rowCount(); ++r) {
        if (!table_->item(r, 0))
            table_->setItem(r, 0, new QTableWidgetItem);
        table_->item(r, 0)->setData(SelectedRole, false);
    }
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        table_->item(index.row(), 0)->setData(SelectedRole, true);
    const QModelIndex current = table_->currentIndex();
    if (current.isValid())
        table_->item(current.row(), 0)->setData(SelectedRole + 1, true);
    signalsWereBlocked_ = table_->model()->blockSignals(true);
}

void CColumnSortList::endRowMoves()
{
    table_->model()->blockSignals(signalsWereBlocked_);
    moving_ = false;
    QItemSelection selection;
    int current = -1;
    for (int r = 0; r < table_->rowCount(); ++r) {
        QTableWidgetItem* first = table_->item(r, 0);
        if (!first)
            continue;
        if (first->data(SelectedRole).toBool())
            selection.select(table_->model()->index(r, 0), table_->model()->index(r, table_->columnCount() - 1));
        if (first->data(SelectedRole + 1).toBool())
            current = r;
        first->setData(SelectedRole, QVariant());
        first->setData(SelectedRole + 1, QVariant());
    }
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (current >= 0)
        table_->selectionModel()->setCurrentIndex(table_->model()->index(current, table_->currentColumn() < 0 ? 0 : table_->currentColumn()),
                                                  QItemSelectionModel::NoUpdate);
    table_->viewport()->update();
}

} // namespace rm
