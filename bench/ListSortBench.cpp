// Fills the main window's list control with 10,000 rows and sorts it by each
// column, both ways; prints the seconds. Runs offscreen.
#include "accountsearch/ColumnSort.h"
#include "mainwindow/CColumnSortList.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

using namespace rm;
using Clock = std::chrono::steady_clock;

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTableWidget table;
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setSelectionMode(QAbstractItemView::ExtendedSelection);
    CColumnSortList list(&table);
    list.insertColumns();
    table.resize(1000, 600);
    table.show();

    std::mt19937 random(42);
    const char* types[] = {"Server (PDC) (Win2003)", "Workstation (WinXP)", "Server", "Unknown (Hidden)"};
    const char* groups[] = {"Administrators", "Administrators, Backup Operators", "", "Helpdesk Operators, Users"};
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
    const double fill = std::chrono::duration<double>(Clock::now() - fillStart).count();

    double worst = 0;
    for (int column = 0; column < 6; ++column) {
        for (bool ascending : {true, false}) {
            const auto start = Clock::now();
            sortList(list, column, ascending);
            QCoreApplication::processEvents();
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("column %d %s: %.3f s\n", column, ascending ? "ascending" : "descending", seconds);
            worst = std::max(worst, seconds);
        }
    }
    std::printf("rows=%d fill_seconds=%.3f sort_seconds_max=%.3f\n", rows, fill, worst);
    return 0;
}
