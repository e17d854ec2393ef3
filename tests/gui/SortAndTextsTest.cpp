#include "gui/kit/ColumnSort.h"
#include "gui/dialogs/FormatDuration.h"
#include "gui/dialogs/LivenessTexts.h"
#include "gui/dialogs/PasswordOptionsForm.h"
#include "gui/kit/NaturalCompare.h"
#include "core/search/ComputerTypeText.h"
#include "support/MemoryComputerList.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>

namespace rm {
namespace {

TEST(FormatDuration, Table)
{
    const std::pair<std::uint32_t, const char*> table[] = {
        {0, "0 seconds"},           {1, "1 second"},           {59, "59 seconds"},
        {60, "1 minute, 0 seconds"}, {61, "1 minute, 1 second"}, {359, "5 minutes, 59 seconds"},
        {360, "6 minutes"},         {3599, "59 minutes"},      {3600, "1 hour, 0 minutes"},
        {3660, "1 hour, 1 minute"}, {7322, "2 hours, 2 minutes"}};
    for (const auto& [s, text] : table)
        EXPECT_EQ(formatDuration(s), text) << s;
}

// Under a German locale (built beside the tests, LOCPATH), as the window's
// toolkit leaves the C library's: the seconds keep their point.
TEST(LivenessTexts, ElapsedSecondsUnderAGermanLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the test locale de_DE.UTF-8 is missing";
    char german[16];
    std::snprintf(german, sizeof german, "%.1f", 4.5);
    auto elapsed = [](int round, std::uint32_t ms) {
        LivenessProgress l;
        l.phase = LivenessProgress::Phase::Pinging;
        l.round = round;
        l.elapsedMs = ms;
        return livenessElapsedText(l);
    };
    const std::vector<std::string> texts = {elapsed(0, 4500), elapsed(1, 0),     elapsed(10, 4500),
                                            elapsed(3, 12345), elapsed(9, 4000), elapsed(2, 99960)};
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_STREQ(german, "4,5"); // the locale is in force
    EXPECT_EQ(texts, (std::vector<std::string>{"---", "0.0 seconds", "4.5 seconds", "12.3 seconds", "4.0 seconds",
                                               "100.0 seconds"}));
}

TEST(NaturalCompare, Table)
{
    EXPECT_LT(naturalCompare("PC2", "PC10"), 0);
    EXPECT_GT(naturalCompare("pc3", "PC2"), 0);
    EXPECT_LT(naturalCompare("pc3", "PC10"), 0);
    EXPECT_LT(naturalCompare("9 days", "30 days"), 0);
    EXPECT_LT(naturalCompare("0 days", "1 days"), 0);
    EXPECT_EQ(naturalCompare(" PC1", "PC1"), 0);
    EXPECT_LT(naturalCompare("x05", "x5"), 0);
    EXPECT_LT(naturalCompare("x001", "x01"), 0);
    EXPECT_EQ(naturalCompare("abc", "ABC"), 0);
    EXPECT_LT(naturalCompare("", "a"), 0);
    EXPECT_EQ(naturalCompare("", ""), 0);
    EXPECT_GT(naturalCompare("PC20", "PC3"), 0);
    EXPECT_LT(naturalCompare("PC12", "PC13"), 0);  // same length: first differing digit
    EXPECT_LT(naturalCompare("a1b", "a1c"), 0);    // equal runs are passed over
}

// Counts the swaps a sort makes.
class CountingList : public MemoryComputerList {
public:
    void swapRows(int a, int b) override
    {
        MemoryComputerList::swapRows(a, b);
        ++swaps;
    }
    int swaps = 0;
};

class ColumnSortTest : public ::testing::Test {
protected:
    CountingList list;
    // Each row's type cell names its row.
    void rows(std::initializer_list<const char*> names)
    {
        std::vector<ComputerRow> out;
        for (const char* n : names)
            out.push_back({{n, std::string(n) + "-type"}, std::nullopt});
        list.setRows(out);
    }
};

TEST_F(ColumnSortTest, ClicksAscendThenReverseAndOtherColumnsStartAscending)
{
    rows({"PC10", "pc2", "PC1", "PC33", "PC3"});
    ColumnSorter sorter;
    sorter.headerClicked(list, CellName);
    EXPECT_EQ(list.names(), (std::vector<std::string>{"PC1", "pc2", "PC3", "PC10", "PC33"}));
    EXPECT_EQ(list.cellText(3, CellType), "PC10-type"); // whole rows move
    sorter.headerClicked(list, CellName);
    EXPECT_EQ(list.names(), (std::vector<std::string>{"PC33", "PC10", "PC3", "pc2", "PC1"}));
    sorter.headerClicked(list, CellName);
    EXPECT_EQ(list.names().front(), "PC1");
    sorter.headerClicked(list, CellName); // descending now
    sorter.headerClicked(list, CellType);
    EXPECT_TRUE(sorter.sortAscending());
    EXPECT_EQ(list.names().front(), "PC1");
}

TEST_F(ColumnSortTest, SelectionTravelsWithItsRow)
{
    rows({"c", "a", "b"});
    list.setSelected(0, true);
    sortByColumn(list, CellName, true);
    EXPECT_EQ(list.names(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(list.isSelected(2));
    EXPECT_FALSE(list.isSelected(0));
}

TEST_F(ColumnSortTest, SmallRangesBadColumnsAndCaseOnlyDifferences)
{
    EXPECT_FALSE(sortByColumn(list, 0, true));
    rows({"only"});
    EXPECT_FALSE(sortByColumn(list, 0, true));
    EXPECT_FALSE(sortByColumn(list, 6, true));
    rows({"pc1", "PC1", "Pc1"});
    sortByColumn(list, CellName, true);
    sortByColumn(list, CellName, false);
    EXPECT_EQ(list.swaps, 0);
    EXPECT_EQ(list.names(), (std::vector<std::string>{"pc1", "PC1", "Pc1"}));
}

TEST_F(ColumnSortTest, ManyRowsEndSorted)
{
    std::vector<ComputerRow> many;
    for (int i = 0; i < 500; ++i)
        many.push_back({{"PC" + std::to_string((i * 7919) % 500), ""}, std::nullopt});
    list.setRows(many);
    sortByColumn(list, CellName, true);
    for (int i = 1; i < list.rowCount(); ++i)
        EXPECT_LE(naturalCompare(list.cellText(i - 1, 0), list.cellText(i, 0)), 0) << i;
}

TEST(ComputerTypeText, BrowseList)
{
    EXPECT_EQ(browseTypeText(0x8 | 0x8000, 5, 2).text, "Server (PDC) (Win2003)");
    EXPECT_TRUE(browseTypeText(0x8, 5, 0).server);
    EXPECT_EQ(browseTypeText(0x10, 6, 0).text, "Server (BDC) (Longhorn)");
    EXPECT_EQ(browseTypeText(0x1000, 5, 1).text, "Workstation (WinXP)");
    EXPECT_FALSE(browseTypeText(0x1000, 5, 1).server);
    EXPECT_EQ(browseTypeText(0x1000, 6, 0).text, "Workstation");
    EXPECT_EQ(browseTypeText(0x8000, 5, 1).text, "Server");
    EXPECT_EQ(browseTypeText(0x8000, 4, 0).text, "Server (WinNT)");
    EXPECT_EQ(browseTypeText(0x1000, 4, 0).text, "Workstation (WinNT)");
    EXPECT_EQ(browseTypeText(0x400000, 4, 10).text, "Workstation (Win98)");
    EXPECT_EQ(browseTypeText(0x400000, 4, 3).text, "Workstation");
    EXPECT_EQ(browseTypeText(0x2000, 3, 11).text, "WFW Workstation");
    EXPECT_EQ(browseTypeText(0x3, 5, 0).text, "Workstation");
    // Only the low four bits of the major version count.
    EXPECT_EQ(browseTypeText(0x8000, 0x15, 2).text, "Server (Win2003)");
    EXPECT_EQ(browseTypeText(0x8000, 9, 0).text, "Server");
}

TEST(ComputerTypeText, Directory)
{
    EXPECT_EQ(directoryTypeText({"a", "Windows XP Professional", "Service Pack 2", ""}).text, "Workstation (WinXP SP2)");
    const ComputerType server = directoryTypeText({"b", "Windows 2000 Server", "Service Pack 4", ""});
    EXPECT_EQ(server.text, "Server (Win2K SP4)");
    EXPECT_TRUE(server.server);
    EXPECT_EQ(directoryTypeText({"c", "Windows Server 2003", "", ""}).text, "Server (WinServer 2003)");
    EXPECT_EQ(directoryTypeText({"d", "Windows 2000 Professional", "", "5.0 (2195)"}).text, "Workstation (Win2K)");
    EXPECT_EQ(directoryTypeText({"e", "", "Service Pack 1", ""}).text, "Unknown");
    EXPECT_FALSE(directoryTypeText({"e", "", "", ""}).server);
}

TEST(PasswordOptionsForm, LeadingNumber)
{
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("128"), 128);
    EXPECT_EQ(leadingNumber("12ab3"), 12);
    EXPECT_EQ(leadingNumber("x12"), 0);
    EXPECT_EQ(leadingNumber("99999999999999999999"), std::numeric_limits<std::int32_t>::max());
}

} // namespace
} // namespace rm
