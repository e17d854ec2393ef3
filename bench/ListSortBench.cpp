// Fills the main window's computer list the way the search command does (the
// found rows at once; a tenth of them then selected) and sorts it by each
// column both ways, with the view shown offscreen; for 10,000 and for 100,000
// rows. Prints the seconds; the last line holds the
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
#include <string>
#include <vector>

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
    const std::vector<std::string> groups[] = {
        {"Administrators"}, {"Administrators", "Backup Operators"}, {}, {"Helpdesk Operators", "Users"}};
    auto account = [&] {
        return AccountInfo{random() % 2 ? "Administrator" : "admin" + std::to_string(random() % 50),
                           random() % 3 != 0, groups[random() % 4],
                           static_cast<std::int32_t>(random() % (86400 * 900)), 1000};
    };
    std::vector<ComputerRow> found;
    for (int i = 0; i < rows; ++i)
        found.push_back({{"PC" + std::to_string(random() % 100000), types[random() % 4]}, account()});
    Figures f;
    const auto fillStart = Clock::now();
    list.setRows(std::move(found));
    for (int i = 0; i < rows; ++i)
        if (random() % 10 == 0)
            list.setSelected(i, true);
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

    // A batch's outcome written back into 1000 rows.
    const auto writeStart = Clock::now();
    for (int i = 0; i < 1000 && rows > 0; ++i)
        list.setAccount(static_cast<int>(random() % rows), account());
    QCoreApplication::processEvents();
    std::printf("rows %d: 1000 accounts written back, a tenth selected: %.3f s\n", rows, secondsSince(writeStart));
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
