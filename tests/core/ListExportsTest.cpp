#include "adapters/linux/PosixFileWriter.h"
#include "gui/mainwindow/ListExports.h"
#include "support/Doubles.h"
#include "gui/mainwindow/MemoryComputerList.h"
#include "support/ReportDoubles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>

namespace rm {
namespace {

// The cells of a page's table, row by row, header row first; the title from H1.
struct Table {
    std::string title;
    std::vector<std::vector<std::string>> rows;
};

Table parse(std::string page)
{
    // A written file's line ends are CR LF.
    page = std::regex_replace(page, std::regex("\r\n"), "\n");
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

class ListExportsTest : public ::testing::Test {
protected:
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    PosixFileWriter files;
    FakeShell shell;
    ManualWallClock clock;
    TempDir dir;
    ReportServices owner{prompter, chooser, files, shell, clock};

    SearchSummary summary(bool groupMode, std::string account = "Admin")
    {
        SearchSummary s;
        s.accountName = std::move(account);
        s.groupMode = groupMode;
        s.matched = {{"PC9", "Server"}, {"PC2", "Workstation"}};
        s.notMatched = {{"OFF1", "Server", true}, {"PC7", "Workstation", false}, {"PC1", "Server", true}};
        return s;
    }
};

TEST_F(ListExportsTest, ComputerListAsShownInItsCurrentOrder)
{
    MemoryComputerList list;
    insertDiscovered(list, "PC1", "Server");
    insertDiscovered(list, "PC2", "Workstation");
    list.setCellText(0, CellUser, "Admin");
    list.setCellText(0, CellEnabled, "Yes");
    list.setCellText(0, CellGroups, "Administrators, Users");
    list.setCellText(0, CellPasswordAge, "3 days");
    list.insertRow(1, "PC2"); // a second member row of one computer stays as it is
    list.setCellText(1, CellType, "Workstation");
    list.setCellText(1, CellUser, "R&D <ops>");
    HtmlReport r = computerListReport(list, owner);
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
}

TEST_F(ListExportsTest, EmptyListStillOffersTheDialogAndWritesTheHeaderRow)
{
    MemoryComputerList list;
    const auto path = dir / "empty.html";
    chooser.answers = {path.string()};
    prompter.answers = {MessageAnswer::No};
    HtmlReport r = computerListReport(list, owner);
    runExport(r);
    ASSERT_EQ(chooser.requests.size(), 1u);
    const Table t = parse(TempDir::read(path));
    ASSERT_EQ(t.rows.size(), 1u);
    EXPECT_EQ(t.rows[0].size(), 6u);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "List saved.  View list now?");
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(ListExportsTest, AllComputersMatchedFirstThenNotMatched)
{
    HtmlReport r = resultsReport(ResultsExport::AllComputers, summary(false), owner);
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
    HtmlReport user = resultsReport(ResultsExport::NotMatched, summary(false), owner);
    Table t = parse(user.pageText());
    EXPECT_EQ(t.title, "Rostermill - Computers offline or without a local user &#8220;Admin&#8221;");
    EXPECT_EQ(user.defaultFileName().rfind("Computers Not Matched ", 0), 0u);
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[1], (std::vector<std::string>{"OFF1", "Server", "Offline", "Unknown"}));
    EXPECT_EQ(t.rows[3], (std::vector<std::string>{"PC1", "Server", "Offline", "Unknown"}));

    HtmlReport group = resultsReport(ResultsExport::NotMatched, summary(true, "Admins"), owner);
    t = parse(group.pageText());
    EXPECT_EQ(t.title, "Rostermill - Computers offline or with an empty local group &#8220;Admins&#8221;");
    EXPECT_EQ(t.rows[0][3], "Local Group &#8220;Admins&#8221;");
}

TEST_F(ListExportsTest, MatchedComputersInBothModes)
{
    HtmlReport user = resultsReport(ResultsExport::Matched, summary(false), owner);
    Table t = parse(user.pageText());
    EXPECT_EQ(t.title, "Rostermill - Computers with a local user &#8220;Admin&#8221;");
    EXPECT_EQ(user.defaultFileName().rfind("Computers Matched ", 0), 0u);
    EXPECT_EQ(t.rows, (std::vector<std::vector<std::string>>{
                          {"Computer", "Computer Type", "Status", "Local User &#8220;Admin&#8221;"},
                          {"PC9", "Server", "Online", "Yes"},
                          {"PC2", "Workstation", "Online", "Yes"}}));
    HtmlReport group = resultsReport(ResultsExport::Matched, summary(true, "Admins"), owner);
    EXPECT_EQ(parse(group.pageText()).title,
              "Rostermill - Computers with a non-empty local group &#8220;Admins&#8221;");
}

TEST_F(ListExportsTest, AccountNameWithAmpersandIsEscapedBetweenTheQuotes)
{
    for (ResultsExport which : {ResultsExport::AllComputers, ResultsExport::NotMatched, ResultsExport::Matched}) {
        const std::string page = resultsReport(which, summary(false, "R&D <x>"), owner).pageText();
        EXPECT_NE(page.find("<TH>Local User &#8220;R&amp;D &lt;x&gt;&#8221;</TH>"), std::string::npos);
        EXPECT_EQ(page.find("R&D"), std::string::npos);
        if (which != ResultsExport::AllComputers) {
            const Table t = parse(page);
            EXPECT_NE(t.title.find("&#8220;R&amp;D &lt;x&gt;&#8221;"), std::string::npos) << t.title;
            EXPECT_NE(page.find("<TITLE>" + t.title + "</TITLE>"), std::string::npos);
        }
    }
}

TEST_F(ListExportsTest, CancelledSaveDialogWritesAndAsksNothing)
{
    HtmlReport r = resultsReport(ResultsExport::Matched, summary(false), owner);
    r.setFolder(dir.path().string());
    runExport(r);
    EXPECT_EQ(chooser.requests.size(), 1u);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(ListExportsTest, AnExportThatCannotBeWrittenAsksNothingMore)
{
    chooser.answers = {(dir / "missing" / "x.html").string()};
    prompter.answers = {MessageAnswer::Ok, MessageAnswer::Yes};
    HtmlReport r = resultsReport(ResultsExport::Matched, summary(false), owner);
    runExport(r);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(ListExportsTest, SavedExportIsOpenedAfterYes)
{
    const auto path = dir / "m.html";
    chooser.answers = {path.string()};
    prompter.answers = {MessageAnswer::Yes};
    HtmlReport r = resultsReport(ResultsExport::Matched, summary(false), owner);
    runExport(r);
    EXPECT_EQ(shell.opened, std::vector<std::string>{path.string()});
    EXPECT_EQ(parse(TempDir::read(path)).rows.size(), 3u);
}

} // namespace
} // namespace rm
