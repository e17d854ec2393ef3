// Fills the main window's computer list the way the search command does (a
// row inserted at the top, then its cells; a tenth of the rows selected) and
// sorts it by each column both ways, with the view shown offscreen; for
// 10,000 and for 100,000 rows. Prints the seconds; the last line holds the
// figures. An argument replaces the 10,000.
#include "gui/kit/SortableList.h"
#include "gui/mainwindow/ComputerTableModel.h"

#include <QApplication>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace rm;

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Figures {
    double fill = 0, worstSort = 0;
};

Figures run(int rows)
{
    QTableView view;
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    ComputerTableModel list;
    new SortableList(&view, &list);
    view.resize(1000, 600);
    view.show();
    QCoreApplication::processEvents();

    std::mt19937 random(42);
    const char* types[] = {"Server (PDC) (Win2003)", "Workstation (WinXP)", "Server", "Unknown (Hidden)"};
    const char* groups[] = {"Administrators", "Administrators, Backup Operators", "", "Helpdesk Operators, Users"};
    Figures f;
    const auto fillStart = Clock::now();
    for (int i = 0; i < rows; ++i) {
        insertDiscovered(list, "PC" + std::to_string(random() % 100000), types[random() % 4]);
        list.setCellText(0, CellUser, random() % 2 ? "Administrator" : "admin" + std::to_string(random() % 50));
        list.setCellText(0, CellEnabled, random() % 3 ? "Yes" : "No");
        list.setCellText(0, CellGroups, groups[random() % 4]);
        list.setCellText(0, CellPasswordAge, passwordAgeText(static_cast<std::int32_t>(random() % (86400 * 900))));
        if (random() % 10 == 0)
            list.setSelected(0, true);
    }
    QCoreApplication::processEvents();
    f.fill = secondsSince(fillStart);
    std::printf("rows %d: fill %.3f s\n", rows, f.fill);

    for (int column = 0; column < list.columnCount(); ++column) {
        for (bool ascending : {true, false}) {
            const auto start = Clock::now();
            sortList(list, column, ascending);
            QCoreApplication::processEvents();
            const double seconds = secondsSince(start);
            std::printf("rows %d: column %d %s: %.3f s\n", rows, column, ascending ? "ascending" : "descending",
                        seconds);
            f.worstSort = std::max(f.worstSort, seconds);
        }
    }

    const auto deleteStart = Clock::now();
    for (int i = 0; i < 1000; ++i)
        list.deleteRow(list.rowCount() / 2);
    QCoreApplication::processEvents();
    std::printf("rows %d: 1000 rows deleted from the middle, a tenth selected: %.3f s\n", rows,
                secondsSince(deleteStart));
    const auto selectStart = Clock::now();
    list.selectAll();
    QCoreApplication::processEvents();
    std::printf("rows %d: select all %.3f s\n", rows, secondsSince(selectStart));
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    const Figures small = run(rows);
    const Figures large = run(100000);
    std::printf("rows=%d fill_seconds=%.3f sort_seconds_max=%.3f rows_100k_fill_seconds=%.3f "
                "rows_100k_sort_seconds=%.3f\n",
                rows, small.fill, small.worstSort, large.fill, large.worstSort);
    return 0;
}
