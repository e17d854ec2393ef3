#include "settings/SettingsStore.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "support/Doubles.h"
#include "gui/kit/MemoryDialogControls.h"
#include "gui/mainwindow/MemoryComputerList.h"
#include "support/MemoryProfileStore.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

AccountCheckResult user(const std::string& enabled, const std::string& name, const std::string& groups, int age)
{
    AccountCheckResult r;
    r.enabled = enabled;
    r.userName = name;
    r.localGroups = groups;
    r.passwordAge = age;
    return r;
}

AccountCheckResult missing(bool failed)
{
    AccountCheckResult r;
    r.notMatched = true;
    r.failed = failed;
    return r;
}

class SearchCommandTest : public ::testing::Test {
protected:
    MemoryDialogControls controls{{{IdUserMode, IdGroupMode}, {IdKeepEnabledState, IdEnableAccount, IdDisableAccount}}};
    MemoryComputerList list;
    MemoryProfileStore profile;
    SettingsStore settings{profile};
    ScriptedPrompter prompter;
    RecordingPoster poster;
    RecordingDialogs dialogs;
    FakeIdentity identity;
    SleepingWait wait;
    CountingWaitCursor cursor;
    MainWindowController c{{controls, list, settings, prompter, poster, dialogs, identity, cursor, wait}};

    void SetUp() override
    {
        c.initialise();
        c.searchOptions().domain = "lab.example";
        c.searchOptions().pingScan = false;
        controls.setText(IdAccountName, "Administrator");
        dialogs.discovered = {{"P", "Server"}, {"Q", "Workstation"}, {"R", "Server (PDC)"}};
    }
    const Message& lastMessage() const { return prompter.shown.back(); }
    std::vector<std::string> row(int i) const
    {
        return std::vector<std::string>(list.rows[i].cells.begin(), list.rows[i].cells.end());
    }
};

TEST_F(SearchCommandTest, EmptyNameIsRefusedWithoutTheClearQuestion)
{
    controls.setText(IdAccountName, "");
    c.searchCommand();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(lastMessage(), (Message{"Error", "You must specify a username to search for.", MessageButtons::Ok,
                                      MessageIcon::Exclamation}));
    controls.setChecked(IdGroupMode, true);
    c.searchCommand();
    EXPECT_EQ(lastMessage().text, "You must specify a local group to search for.");
    EXPECT_TRUE(dialogs.scannedDomains.empty());
}

TEST_F(SearchCommandTest, AFilledListAsksFirstAndKeepsItsRowsOnNoOrOnAnEmptyName)
{
    insertDiscovered(list, "OLD", "Server");
    c.setSearchDone(true);
    prompter.answers = {MessageAnswer::No};
    c.searchCommand();
    EXPECT_EQ(lastMessage(), (Message{"Clear List?", "Clear the machine list and repopulate?", MessageButtons::YesNo,
                                      MessageIcon::Question}));
    EXPECT_EQ(list.names(), std::vector<std::string>{"OLD"});
    EXPECT_TRUE(c.searchDone());

    controls.setText(IdAccountName, "");
    prompter.answers = {MessageAnswer::Yes};
    c.searchCommand();
    EXPECT_EQ(lastMessage().title, "Error");
    EXPECT_EQ(list.names(), std::vector<std::string>{"OLD"});
    EXPECT_TRUE(c.searchDone());
}

TEST_F(SearchCommandTest, NothingDiscoveredIsAFailure)
{
    dialogs.discovered.clear();
    c.searchCommand();
    EXPECT_EQ(lastMessage(), (Message{"Failure", "No computers found. Verify the domain name, and that you have access.",
                                      MessageButtons::Ok, MessageIcon::Exclamation}));
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(c.searchDone());
    EXPECT_EQ(dialogs.accountSearchRuns, 0);
    EXPECT_EQ(dialogs.scannedDomains, std::vector<std::string>{"lab.example"});
}

TEST_F(SearchCommandTest, CancelledSearchLeavesTheDiscoveredRows)
{
    dialogs.accountResults = std::nullopt;
    c.searchCommand();
    // Reverse discovery order, backslashes added for the search.
    EXPECT_EQ(list.names(), (std::vector<std::string>{"R", "Q", "P"}));
    EXPECT_EQ(dialogs.searchedNames, (std::vector<std::string>{"\\\\R", "\\\\Q", "\\\\P"}));
    EXPECT_EQ(lastMessage(), (Message{"Operation cancelled", "The search for \"Administrator\" was cancelled.",
                                      MessageButtons::Ok, MessageIcon::Information}));
    EXPECT_FALSE(c.searchDone());
    EXPECT_FALSE(controls.isEnabled(IdComputerList));
    EXPECT_FALSE(controls.isEnabled(IdPerform));
    EXPECT_TRUE(controls.isEnabled(IdExportList));
    EXPECT_TRUE(controls.isEnabled(IdSelectAll));
    EXPECT_EQ(cursor.depth, 0);
    EXPECT_EQ(cursor.begun, 1);
}

TEST_F(SearchCommandTest, UserModeResultsFillTheRowsAndCountTheRest)
{
    dialogs.discovered = {{"P", "Server"}, {"Q", "Workstation"}, {"R", "Server (PDC)"}, {"\\\\S", "Workstation"}};
    // Rows: S, R, Q, P.
    dialogs.accountResults = std::vector<AccountCheckResult>{
        user("Yes", "Administrator", "Administrators", 86400 * 2 + 5), missing(false), missing(true),
        user("No", "Administrator", "", 86399)};
    controls.setChecked(IdChangePassword, true);
    c.searchCommand();
    EXPECT_EQ(dialogs.searchedNames.front(), "\\\\S"); // not prefixed twice
    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(row(0), (std::vector<std::string>{"\\\\S", "Workstation", "Administrator", "Yes", "Administrators", "2 days"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"P", "Server", "Administrator", "No", "", "0 days"}));
    ASSERT_EQ(dialogs.summaries.size(), 1u);
    const SearchSummary& s = dialogs.summaries[0];
    EXPECT_EQ(s.totalFound, 4);
    EXPECT_EQ(s.offline, 1);
    EXPECT_EQ(s.notExist, 1);
    EXPECT_FALSE(s.groupMode);
    // Bottom of the list first.
    EXPECT_EQ(s.matched, (std::vector<MatchedComputer>{{"P", "Server"}, {"\\\\S", "Workstation"}}));
    EXPECT_EQ(s.notMatched, (std::vector<NotMatchedComputer>{{"Q", "Workstation", true}, {"R", "Server (PDC)", false}}));
    EXPECT_TRUE(c.searchDone());
    EXPECT_TRUE(controls.isEnabled(IdComputerList));
    EXPECT_EQ(controls.focus, IdPassword);
    EXPECT_EQ(cursor.depth, 0);
}

TEST_F(SearchCommandTest, FocusPreferencesAfterASearch)
{
    dialogs.accountResults = std::vector<AccountCheckResult>(3, user("Yes", "a", "", 0));
    controls.setChecked(IdChangeUsername, true);
    c.searchCommand();
    EXPECT_EQ(controls.focus, IdNewUserName);
    controls.setChecked(IdChangeUsername, false);
    controls.setChecked(IdDisableAccount, true);
    prompter.answers = {MessageAnswer::Yes};
    c.searchCommand();
    EXPECT_EQ(controls.focus, IdDisableAccount);
}

TEST_F(SearchCommandTest, GroupModeRowsReadFirstThenLastBackToSecond)
{
    controls.setChecked(IdGroupMode, true);
    controls.setText(IdAccountName, "Staff");
    AccountCheckResult r;
    r.memberEnabled = {"Yes", "No", "Yes"};
    r.memberNames = {"M0", "M1", "M2"};
    r.memberGroups = {"g0", "g1", "g2"};
    r.memberPasswordAges = {0, 86400, 172800};
    dialogs.accountResults = std::vector<AccountCheckResult>{missing(false), r, missing(false)};
    c.searchCommand();
    EXPECT_TRUE(dialogs.searchedGroupMode);
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(row(0), (std::vector<std::string>{"Q", "Workstation", "M0", "Yes", "g0", "0 days"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"Q", "Workstation", "M2", "Yes", "g2", "2 days"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"Q", "Workstation", "M1", "No", "g1", "1 days"}));
    EXPECT_EQ(dialogs.summaries[0].notExist, 2);
    EXPECT_TRUE(dialogs.summaries[0].groupMode);
}

TEST_F(SearchCommandTest, NothingFoundEmptiesTheList)
{
    dialogs.accountResults = std::vector<AccountCheckResult>(3, missing(false));
    c.searchCommand();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_TRUE(c.searchDone());
    EXPECT_TRUE(dialogs.summaries.empty());
    EXPECT_EQ(lastMessage(), (Message{"All Computers Removed",
                                      "The username \"Administrator\" was not found on any machine. All computers have "
                                      "been removed from the list. You must repopulate the list.",
                                      MessageButtons::Ok, MessageIcon::Information}));
    controls.setChecked(IdGroupMode, true);
    controls.setText(IdAccountName, "  ");
    c.searchCommand(); // blanks are searched as typed
    EXPECT_EQ(dialogs.searchedAccount, "  ");
    EXPECT_EQ(lastMessage().text, "Local group \"  \" was empty on all machines. All computers have been removed from "
                                  "the list. You must repopulate the list.");
}

TEST_F(SearchCommandTest, PingStepRemovesTheSilentOnesIgnoringCase)
{
    c.searchOptions().pingScan = true;
    dialogs.ping.removalList = {"q", "nosuch", "P"};
    dialogs.accountResults = std::vector<AccountCheckResult>{user("Yes", "Administrator", "", 0)};
    c.searchCommand();
    EXPECT_EQ(dialogs.pinged, (std::vector<std::vector<std::string>>{{"P", "Q", "R"}}));
    EXPECT_EQ(dialogs.searchedNames, std::vector<std::string>{"\\\\R"});
    const SearchSummary& s = dialogs.summaries[0];
    EXPECT_EQ(s.totalFound, 3);
    EXPECT_EQ(s.offline, 2);
    EXPECT_EQ(s.notExist, 0);
    EXPECT_EQ(s.notMatched, (std::vector<NotMatchedComputer>{{"Q", "Workstation", true}, {"P", "Server", true}}));
}

TEST_F(SearchCommandTest, PingErrorIsShownAndTheSearchGoesOn)
{
    c.searchOptions().pingScan = true;
    dialogs.ping.errorText = "Hostname resolution was aborted. No machines have been removed.";
    dialogs.accountResults = std::vector<AccountCheckResult>(3, missing(false));
    c.searchCommand();
    EXPECT_EQ(prompter.shown[0], (Message{"Error", dialogs.ping.errorText, MessageButtons::Ok, MessageIcon::Information}));
    EXPECT_EQ(dialogs.accountSearchRuns, 1);
    // With everything removed by the ping step, the search runs over nothing.
    dialogs.ping = {{"P", "Q", "R"}, ""};
    dialogs.accountResults = std::vector<AccountCheckResult>{};
    c.searchCommand();
    EXPECT_TRUE(dialogs.searchedNames.empty());
    EXPECT_EQ(lastMessage().title, "All Computers Removed");
}

} // namespace
} // namespace rm
