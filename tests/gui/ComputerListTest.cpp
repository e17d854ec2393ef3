#include "core/report/ComputerCells.h"
#include "gui/mainwindow/ComputerList.h"
#include "support/MemoryComputerList.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

TEST(ComputerList, RowTexts)
{
    EXPECT_EQ(passwordAgeText(0), "0 days");
    EXPECT_EQ(passwordAgeText(86399), "0 days");
    EXPECT_EQ(passwordAgeText(86400), "1 days");
    EXPECT_EQ(passwordAgeText(-86401), "-1 days"); // truncated toward zero
    EXPECT_EQ(passwordAgeText(2147483647), "24855 days");

    // A discovered computer fills its name and type only.
    EXPECT_EQ(computerCells({{"PC1", "Server"}, std::nullopt}), (ComputerCells{"PC1", "Server", "", "", "", ""}));
    EXPECT_EQ(computerCells({{"PC1", "Server"}, AccountInfo{"R&D", false, {"Administrators", "Users"}, 172800, 500}}),
              (ComputerCells{"PC1", "Server", "R&D", "No", "Administrators, Users", "2 days"}));
    EXPECT_EQ(computerCells({{"PC1", ""}, AccountInfo{"a", true, {}, 0, 0}})[CellEnabled], "Yes");
}

TEST(ComputerList, SelectionHelpers)
{
    MemoryComputerList list;
    EXPECT_FALSE(hasSelection(list));
    list.selectAll(); // nothing to select
    EXPECT_TRUE(selectedRows(list).empty());
    list.setRows({{{"a", ""}, {}}, {{"b", ""}, {}}, {{"c", ""}, {}}});
    list.setSelected(2, true);
    list.setSelected(0, true);
    EXPECT_TRUE(hasSelection(list));
    EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 2}));
    list.selectAll();
    EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 1, 2}));
}

} // namespace
} // namespace rm
