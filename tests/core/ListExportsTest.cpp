#include "core/report/ListExports.h"

#include <gtest/gtest.h>

#include <regex>

namespace rm {
namespace {

// The cells of a page's table, row by row, header row first; the title from H1.
struct Table {
    std::string title;
    std::vector<std::vector<std::string>> rows;
};

Table parse(const std::string& page)
{
    Table t;
    const std::size_t h1 = page.find("<H1>");
    t.title = page.substr(h1 + 4, page.find("</H1>") - h1 - 4);
    const std::regex row("<TR>\n((?:<T[HD]>[^\n]*</T[HD]>\n)*)</TR>\n");
    const std::regex cell("<T[HD]>([^\n]*)</T[HD]>\n");
    for (auto r = std::sregex_iterator(page.begin(), page.end(), row); r != std::sregex_iterator(); ++r) {
        const std::string inner = (*r)[1];
        std::vector<std::string> cells;
        for (auto c = std::sregex_iterator(inner.begin(), inner.end(), cell); c != std::sregex_iterator(); ++c)
            cells.push_back((*c)[1]);
        t.rows.push_back(cells);
    }
    return t;
}

constexpr std::time_t Moment = 1141567629;

class ListExportsTest : public ::testing::Test {
protected:
    SearchRequest request;
    SearchOutcome outcome;

    void SetUp() override
    {
        request.account = "Admin";
        outcome.matched = {{"PC9", "Server"}, {"PC2", "Workstation"}};
        outcome.dropped = {{{"OFF1", "Server"}, DropReason::Offline},
                           {{"PC7", "Workstation"}, DropReason::NotFound},
                           {{"PC1", "Server"}, DropReason::Unreachable, NetStatus::BadNetPath}};
    }
    HtmlReport results(ResultsExport which, AccountKind kind = AccountKind::User, std::string account = "Admin")
    {
        request.kind = kind;
        request.account = std::move(account);
        return resultsReport(which, request, outcome, Moment);
    }
};

TEST_F(ListExportsTest, ComputerListAsShownInItsCurrentOrder)
{
    const AccountInfo admin{"Admin", true, {"Administrators", "Users"}, 3 * 86400 + 86399, 500};
    const std::vector<ComputerCells> rows{
        computerCells({{"PC2", "Workstation"}, admin}),
        {"PC2", "Workstation", "R&D <ops>", "", "", ""}, // written as given
        computerCells({{"PC1", "Server"}, std::nullopt}),
    };
    const HtmlReport r = computerListReport(rows, Moment);
    const Table t = parse(r.pageText());
    EXPECT_EQ(t.title, "Rostermill - Computer List");
    EXPECT_EQ(r.defaultFileName().rfind("Computer List ", 0), 0u);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[0], (std::vector<std::string>{"Computer", "Computer Type", "User Name", "Account Enabled",
                                                   "Local Groups", "Password Age"}));
    EXPECT_EQ(t.rows[1], (std::vector<std::string>{"PC2", "Workstation", "Admin", "Yes", "Administrators, Users",
                                                   "3 days"}));
    EXPECT_EQ(t.rows[2], (std::vector<std::string>{"PC2", "Workstation", "R&amp;D &lt;ops&gt;", "", "", ""}));
    EXPECT_EQ(t.rows[3], (std::vector<std::string>{"PC1", "Server", "", "", "", ""}));
    // An empty list still has its header row.
    const Table empty = parse(computerListReport({}, Moment).pageText());
    ASSERT_EQ(empty.rows.size(), 1u);
    EXPECT_EQ(empty.rows[0].size(), 6u);
}

TEST_F(ListExportsTest, ComputerCellsOfAnAccount)
{
    const ComputerCells cells = computerCells({{"PC1", "Server"}, AccountInfo{"u", false, {}, 86399, 1001}});
    EXPECT_EQ(cells, (ComputerCells{"PC1", "Server", "u", "No", "", "0 days"}));
    EXPECT_EQ(passwordAgeText(2 * 86400 + 5), "2 days");
    EXPECT_EQ(passwordAgeText(-86401), "-1 days"); // toward zero
}

TEST_F(ListExportsTest, AllComputersMatchedFirstThenNotMatched)
{
    const HtmlReport r = results(ResultsExport::AllComputers);
    const Table t = parse(r.pageText());
    EXPECT_EQ(t.title, "Rostermill - All Computers");
    EXPECT_EQ(r.defaultFileName().rfind("Computers Found ", 0), 0u);
    const std::vector<std::vector<std::string>> expected{
        {"Computer", "Computer Type", "Status", "Local User &#8220;Admin&#8221;"},
        {"PC9", "Server", "Online", "Yes"},
        {"PC2", "Workstation", "Online", "Yes"},
        {"OFF1", "Server", "Offline", "Unknown"},
        {"PC7", "Workstation", "Online", "No"},
        {"PC1", "Server", "Offline", "Unknown"}};
    EXPECT_EQ(t.rows, expected);
}

TEST_F(ListExportsTest, EliminatedComputersInBothModes)
{
    const HtmlReport user = results(ResultsExport::NotMatched);
    Table t = parse(user.pageText());
    EXPECT_EQ(t.title, "Rostermill - Computers offline or without a local user &#8220;Admin&#8221;");
    EXPECT_EQ(user.defaultFileName().rfind("Computers Not Matched ", 0), 0u);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[1], (std::vector<std::string>{"OFF1", "Server", "Offline", "Unknown"}));
    EXPECT_EQ(t.rows[3], (std::vector<std::string>{"PC1", "Server", "Offline", "Unknown"}));

    t = parse(results(ResultsExport::NotMatched, AccountKind::Group, "Admins").pageText());
    EXPECT_EQ(t.title, "Rostermill - Computers offline or with an empty local group &#8220;Admins&#8221;");
    EXPECT_EQ(t.rows[0][3], "Local Group &#8220;Admins&#8221;");
}

TEST_F(ListExportsTest, MatchedComputersInBothModes)
{
    const HtmlReport user = results(ResultsExport::Matched);
    const Table t = parse(user.pageText());
    EXPECT_EQ(t.title, "Rostermill - Computers with a local user &#8220;Admin&#8221;");
    EXPECT_EQ(user.defaultFileName().rfind("Computers Matched ", 0), 0u);
    EXPECT_EQ(t.rows, (std::vector<std::vector<std::string>>{
                          {"Computer", "Computer Type", "Status", "Local User &#8220;Admin&#8221;"},
                          {"PC9", "Server", "Online", "Yes"},
                          {"PC2", "Workstation", "Online", "Yes"}}));
    EXPECT_EQ(parse(results(ResultsExport::Matched, AccountKind::Group, "Admins").pageText()).title,
              "Rostermill - Computers with a non-empty local group &#8220;Admins&#8221;");
}

TEST_F(ListExportsTest, AccountNameWithAmpersandIsEscapedBetweenTheQuotes)
{
    for (ResultsExport which : {ResultsExport::AllComputers, ResultsExport::NotMatched, ResultsExport::Matched}) {
        const std::string page = results(which, AccountKind::User, "R&D <x>").pageText();
        EXPECT_NE(page.find("<TH>Local User &#8220;R&amp;D &lt;x&gt;&#8221;</TH>"), std::string::npos);
        EXPECT_EQ(page.find("R&D"), std::string::npos);
        if (which != ResultsExport::AllComputers) {
            const Table t = parse(page);
            EXPECT_NE(t.title.find("&#8220;R&amp;D &lt;x&gt;&#8221;"), std::string::npos) << t.title;
            EXPECT_NE(page.find("<TITLE>" + t.title + "</TITLE>"), std::string::npos);
        }
    }
}

} // namespace
} // namespace rm
