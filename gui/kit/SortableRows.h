#pragma once

#include <string>

namespace rm {

// Rows of texts that a sort reorders in place: what a list control offers
// its header-click sort.
class SortableRows {
public:
    virtual ~SortableRows() = default;

    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    // Empty for a cell that does not exist. Read in place, so the sort's
    // comparisons copy nothing; valid until the rows change.
    virtual const std::string& cellText(int row, int column) const = 0;
    // Exchanges two rows whole: every text and the selection and focus state.
    virtual void swapRows(int a, int b) = 0;
    // Bracket a run of row moves, so a control can hold back its notifications.
    virtual void beginRowMoves() {}
    virtual void endRowMoves() {}
};

} // namespace rm
