#pragma once

#include "gui/kit/SortableRows.h"

namespace rm {

// Sorts rows low..high (high -1: the last row) in place by one column's
// texts in natural order; false for a column that does not exist or a range
// of fewer than two rows.
bool sortByColumn(SortableRows& list, int column, bool ascending, int low = 0, int high = -1);

// A whole sort of the list, its row moves bracketed.
void sortList(SortableRows& list, int column, bool ascending);

// The sort state of a list control: a click on a header sorts that column
// ascending, a further click on it reverses the order.
class ColumnSorter {
public:
    void headerClicked(SortableRows& list, int column);
    int sortColumn() const { return sortColumn_; }
    bool sortAscending() const { return sortAscending_; }

private:
    int sortColumn_ = -1;
    bool sortAscending_ = true;
};

} // namespace rm
