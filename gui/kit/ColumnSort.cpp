#include "gui/kit/ColumnSort.h"

#include "gui/kit/NaturalCompare.h"
#include "core/ports/Text.h"

namespace rm {

bool sortByColumn(SortableRows& list, int column, bool ascending, int low, int high)
{
    if (column < 0 || column >= list.columnCount())
        return false;
    if (high == -1)
        high = list.rowCount() - 1;
    int lo = low, hi = high;
    if (hi <= lo)
        return false;
    // A copy: a swap may move the text it was read from.
    const std::string pivot = list.cellText((lo + hi) / 2, column);
    const int direction = ascending ? 1 : -1;
    while (lo <= hi) {
        while (lo < high && direction * naturalCompare(list.cellText(lo, column), pivot) < 0)
            ++lo;
        while (hi > low && direction * naturalCompare(list.cellText(hi, column), pivot) > 0)
            --hi;
        if (lo <= hi) {
            // Rows equal but for case are left where they are.
            if (!equalsIgnoringCase(list.cellText(lo, column), list.cellText(hi, column)))
                list.swapRows(lo, hi);
            ++lo;
            --hi;
        }
    }
    if (low < hi)
        sortByColumn(list, column, ascending, low, hi);
    if (lo < high)
        sortByColumn(list, column, ascending, lo, high);
    return true;
}

void sortList(SortableRows& list, int column, bool ascending)
{
    list.beginRowMoves();
    sortByColumn(list, column, ascending);
    list.endRowMoves();
}

void ColumnSorter::headerClicked(SortableRows& list, int column)
{
    sortAscending_ = column != sortColumn_ ? true : !sortAscending_;
    sortColumn_ = column;
    sortList(list, column, sortAscending_);
}

} // namespace rm
