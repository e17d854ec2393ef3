#include "mainwindow/ComputerListView.h"

#include <QHeaderView>
#include <QTableWidget>

namespace rm {

ComputerListView::ComputerListView(QTableWidget* table) : table_(table) {}

void ComputerListView::insertColumns()
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
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
}

int ComputerListView::rowCount() const
{
    return table_->rowCount();
}

std::string ComputerListView::cellText(int row, int column) const
{
    const QTableWidgetItem* item = table_->item(row, column);
    return item ? item->text().toStdString() : std::string();
}

void ComputerListView::setCellText(int row, int column, const std::string& text)
{
    if (row < 0 || row >= table_->rowCount() || column < 0 || column >= table_->columnCount())
        return;
    if (QTableWidgetItem* item = table_->item(row, column))
        item->setText(QString::fromStdString(text));
    else
        table_->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
}

void ComputerListView::insertRow(int row, const std::string& name)
{
    table_->insertRow(row);
    setCellText(row, CellName, name);
}

void ComputerListView::deleteRow(int row)
{
    table_->removeRow(row);
}

void ComputerListView::deleteAllRows()
{
    table_->setRowCount(0);
}

bool ComputerListView::isSelected(int row) const
{
    return table_->selectionModel()->isRowSelected(row, QModelIndex());
}

void ComputerListView::setSelected(int row, bool selected)
{
    const QModelIndex index = table_->model()->index(row, 0);
    table_->selectionModel()->select(
        index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                   | QItemSelectionModel::Rows);
}

} // namespace rm
