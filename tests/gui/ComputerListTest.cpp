#include "gui/mainwindow/ComputerList.h"
#include "gui/mainwindow/MemoryComputerList.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

TEST(ComputerList, PasswordAgeInWholeDays)
{
    EXPECT_EQ(passwordAgeText(0), "0 days");
    EXPECT_EQ(passwordAgeText(86399), "0 days");
    EXPECT_EQ(passwordAgeText(86400), "1 days");
    EXPECT_EQ(passwordAgeText(-86401), "-1 days"); // truncated toward zero
    EXPECT_EQ(passwordAgeText(2147483647), "24855 days");
}

TEST(ComputerList, DiscoveredComputersGoToTheTop)
{
    MemoryComputerList list;
    insertDiscovered(list, "P", "Server");
    insertDiscovered(list, "Q", "Workstation");
    insertDiscovered(list, "R", "Unknown (Hidden)");
    EXPECT_EQ(list.names(), (std::vector<std::string>{"R", "Q", "P"}));
    EXPECT_EQ(list.cellText(2, CellType), "Server");
    EXPECT_EQ(list.cellText(0, CellUser), "");
}

TEST(ComputerList, FindsTheFirstRowIgnoringCase)
{
    MemoryComputerList list;
    for (const char* n : {"pc1", "PC2", "Pc1"})
        list.insertRow(list.rowCount(), n);
    EXPECT_EQ(findRowByName(list, "PC1"), 0);
    EXPECT_EQ(findRowByName(list, "pc2"), 1);
    EXPECT_EQ(findRowByName(list, "pc3"), -1);
    EXPECT_EQ(findRowByName(list, "pc"), -1);
}

TEST(ComputerList, SelectionHelpers)
{
    MemoryComputerList list;
    EXPECT_FALSE(hasSelection(list));
    list.selectAll(); // nothing to select
    for (const char* n : {"a", "b", "c"})
        list.insertRow(list.rowCount(), n);
    list.setSelected(2, true);
    list.setSelected(0, true);
    EXPECT_TRUE(hasSelection(list));
    EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 2}));
    list.selectAll();
    EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 1, 2}));
}

TEST(ComputerList, UpdateAfterOperationsTouchesOnlyWhatSucceeded)
{
    MemoryComputerList list;
    for (const char* n : {"a", "b", "c"}) {
        list.insertRow(list.rowCount(), n);
        list.setCellText(list.rowCount() - 1, CellUser, "Administrator");
        list.setCellText(list.rowCount() - 1, CellEnabled, "Yes");
        list.setCellText(list.rowCount() - 1, CellGroups, "Administrators");
    }
    auto op = [](int row, bool renamed, bool enabledChanged, bool enable, bool processed) {
        AccountOperation o;
        o.rowIndex = row;
        o.newUserName = "root";
        o.enable = enable;
        o.renameSucceeded = renamed;
        o.enableSucceeded = enabledChanged;
        o.processed = processed;
        return o;
    };
    const std::vector<AccountOperation> ops{
        op(0, true, true, false, true),
        op(1, false, false, true, true),
        op(2, true, true, false, false), // never reached
        op(7, true, true, true, true),   // no such row
    };
    updateAfterOperations(list, ops);
    EXPECT_EQ(list.cellText(0, CellUser), "root");
    EXPECT_EQ(list.cellText(0, CellEnabled), "No");
    EXPECT_EQ(list.cellText(0, CellGroups), "Administrators");
    EXPECT_EQ(list.cellText(1, CellUser), "Administrator");
    EXPECT_EQ(list.cellText(1, CellEnabled), "Yes");
    EXPECT_EQ(list.cellText(2, CellUser), "Administrator");
}

} // namespace
} // namespace rm
