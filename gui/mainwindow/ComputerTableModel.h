#pragma once

#include "core/report/ComputerCells.h"
#include "gui/kit/SortableTableModel.h"
#include "gui/mainwindow/ComputerList.h"

#include <deque>
#include <memory>

namespace rm {

// The computer list as a table model: the rows themselves, each a
// ComputerRow with its six cell texts and its selection and focus state.
// Rows sit behind pointers in a deque, so two rows swapped by a sort move
// pointers, not texts.
class ComputerTableModel : public SortableTableModel, public ComputerList {
    Q_OBJECT
public:
    // The columns' initial widths in pixels, in column order.
    static constexpr std::array<int, ComputerColumnHeaders.size()> ColumnWidths{180, 150, 80, 50, 300, 120};

    using SortableTableModel::columnCount;
    using SortableTableModel::rowCount;
    int rowCount() const override;
    int columnCount() const override;
    const std::string& cellText(int row, int column) const override;
    void swapRows(int a, int b) override;
    void beginRowMoves() override;
    void endRowMoves() override;

    const ComputerRow& row(int row) const override;
    void setRows(std::vector<ComputerRow> rows) override;
    void setAccount(int row, const AccountInfo& account) override;
    bool isSelected(int row) const override;
    void setSelected(int row, bool selected) override;
    void selectAll() override;

    std::uint8_t rowState(int row) const override;
    void setRowState(int row, std::uint8_t state) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Row {
        ComputerRow data;
        ComputerCells cells;
        std::uint8_t state = 0;
    };
    bool isRow(int row) const { return row >= 0 && row < rowCount(); }
    void rowsChanged(int first, int last);

    std::deque<std::unique_ptr<Row>> rows_;
    bool moving_ = false; // inside a sort: one notification at its end
};

} // namespace rm
