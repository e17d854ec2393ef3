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

void CColumnSortList::swapRows(int a, int b)
{
    if (a == b)
        return;
    for (int c = 0; c < table_->columnCount(); ++c) {
        const std::string ta = cellText(a, c), tb = cellText(b, c);
        setCellText(a, c, tb);
        setCellText(b, c, ta);
    }
    const bool selectedA = isSelected(a), selectedB = isSelected(b);
    setSelected(a, selectedB);
    setSelected(b, selectedA);
    const QModelIndex current = table_->currentIndex();
    if (current.row() == a || current.row() == b) {
        const int row = current.row() == a ? b : a;
        table_->selectionModel()->setCurrentIndex(table_->model()->index(row, current.column()),
                                                  QItemSelectionModel::NoUpdate);
    }
}

} // namespace rm
