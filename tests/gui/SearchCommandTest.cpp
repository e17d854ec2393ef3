#include "gui/MainWindowFixture.h"

namespace rm {
namespace {

// The search command of the window: its questions and messages, the list and
// the controls after each way a search ends. What the search finds is the
// core's, tested there.
class SearchCommandTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        profile.writeText("Search Options", "Domain", "lab.example");
        profile.writeInteger("Search Options", "PingScan", 0);
        profile.writeInteger("Search Options", "ScanHidden", 0);
        controller.initialise();
        // Found in this order, so listed R, Q, P from the top.
        listed("P");
        listed("Q", false);
        listed("R");
    }
    // Every computer answers; only those given hold the account.
    void holding(std::initializer_list<const char*> computers)
    {
        for (const char* c : {"P", "Q", "R"})
            net.network.computers["\\\\" + std::string(c)];
        for (const char* c : computers)
            account(c, "Administrator");
    }
};

TEST_F(SearchCommandTest, EmptyNameIsRefusedWithoutTheClearQuestion)
{
    controls.setText(IdAccountName, "");
    controller.searchCommand();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(lastMessage(), (Message{"Error", "You must specify a username to search for.", MessageButtons::Ok,
                                      MessageIcon::Exclamation}));
    controls.setChecked(IdGroupMode, true);
    controller.searchCommand();
    EXPECT_EQ(lastMessage().text, "You must specify a local group to search for.");
    EXPECT_TRUE(dialogs.steps.empty());
    EXPECT_EQ(net.identity.credentialsAsked, 0);
}

TEST_F(SearchCommandTest, AFilledListAsksFirstAndKeepsItsRowsOnNoOrOnAnEmptyName)
{
    searched({"OLD"});
    prompter.answers = {MessageAnswer::No};
    controller.searchCommand();
    EXPECT_EQ(lastMessage(), (Message{"Clear List?", "Clear the machine list and repopulate?", MessageButtons::YesNo,
                                      MessageIcon::Question}));
    EXPECT_EQ(list.names(), std::vector<std::string>{"OLD"});
    EXPECT_TRUE(controller.searchDone());

    controls.setText(IdAccountName, "");
    prompter.answers = {MessageAnswer::Yes};
    controller.searchCommand();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Clear List?", "Clear List?", "Error"}));
    EXPECT_EQ(list.names(), std::vector<std::string>{"OLD"});
    EXPECT_TRUE(controller.searchDone());
    EXPECT_TRUE(dialogs.steps.empty());
}

TEST_F(SearchCommandTest, NothingDiscoveredEmptiesTheListAndIsAFailure)
{
    net.network.browseEntries.clear();
    searched({"OLD"});
    prompter.answers = {MessageAnswer::Yes};
    controller.searchCommand();
    EXPECT_EQ(titles(), (std::vector<std::string>{"Clear List?", "Failure"}));
    EXPECT_EQ(lastMessage(),
              (Message{"Failure", "No computers found. Verify the domain name, and that you have access.",
                       MessageButtons::Ok, MessageIcon::Exclamation}));
    EXPECT_EQ(dialogs.steps, std::vector<std::string>{"discovery"});
    EXPECT_EQ(net.network.enumeratedDomains, std::vector<std::string>{"lab.example"});
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_FALSE(controller.searchDone());
    EXPECT_FALSE(enabled(IdExportList));
    EXPECT_FALSE(enabled(IdPerform));
    EXPECT_EQ(cursor.begun, 0);
}

TEST_F(SearchCommandTest, CancelledCheckLeavesTheDiscoveredRows)
{
    holding({"P"});
    dialogs.cancelCheck = true;
    controller.searchCommand();
    EXPECT_EQ(dialogs.steps, (std::vector<std::string>{"discovery", "check"}));
    EXPECT_EQ(list.names(), (std::vector<std::string>{"R", "Q", "P"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"Q", "Workstation", "", "", "", ""}));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(lastMessage(), (Message{"Operation cancelled", "The search for \"Administrator\" was cancelled.",
                                      MessageButtons::Ok, MessageIcon::Information}));
    EXPECT_TRUE(dialogs.results.empty());
    EXPECT_FALSE(controller.searchDone());
    EXPECT_FALSE(enabled(IdComputerList));
    EXPECT_FALSE(enabled(IdPerform));
    EXPECT_TRUE(enabled(IdExportList));
    EXPECT_TRUE(enabled(IdSelectAll));
    EXPECT_EQ(cursor.depth, 0);
    EXPECT_EQ(cursor.begun, 1);
}

TEST_F(SearchCommandTest, FoundAccountsFillTheRowsAndTheResultsAreShown)
{
    listed("S", false); // on top
    net.network.computers["\\\\R"];                                          // no such account
    account("S", "Administrator", true, {"Administrators"}, 86400 * 2 + 5); // Q does not answer
    account("P", "Administrator", false, {}, 86399);
    controls.setChecked(IdChangePassword, true);
    controller.searchCommand();
    EXPECT_EQ(net.identity.credentialsAsked, 1);
    EXPECT_EQ(dialogs.steps, (std::vector<std::string>{"discovery", "check"}));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(row(0),
              (std::vector<std::string>{"S", "Workstation", "Administrator", "Yes", "Administrators", "2 days"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"P", "Server", "Administrator", "No", "", "0 days"}));
    ASSERT_EQ(dialogs.results.size(), 1u);
    EXPECT_EQ(dialogs.results[0].counts, (SearchCounts{4, 1, 1}));
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(controller.searchDone());
    EXPECT_TRUE(enabled(IdComputerList));
    EXPECT_TRUE(enabled(IdPerform));
    EXPECT_TRUE(enabled(IdPassword));
    EXPECT_EQ(controls.focus, IdPassword);
    EXPECT_EQ(cursor.depth, 0);
    EXPECT_EQ(cursor.begun, 1);
}

TEST_F(SearchCommandTest, FocusGoesToTheFirstActionChosen)
{
    holding({"P", "Q", "R"});
    const std::pair<int, int> focusFor[] = {
        {IdChangeUsername, IdNewUserName}, {IdDisableAccount, IdDisableAccount}, {IdEnableAccount, IdEnableAccount}};
    for (const auto& [action, focused] : focusFor) {
        controls.setChecked(IdChangeUsername, false);
        controls.setChecked(action, true);
        controls.focus = 0;
        prompter.answers = {MessageAnswer::Yes}; // the list is cleared from the second on
        controller.searchCommand();
        EXPECT_EQ(controls.focus, focused) << action;
    }
    controls.setChecked(IdKeepEnabledState, true);
    controls.focus = IdAccountName;
    prompter.answers = {MessageAnswer::Yes};
    controller.searchCommand(); // nothing chosen: the focus stays
    EXPECT_EQ(controls.focus, IdAccountName);
}

TEST_F(SearchCommandTest, GroupModeListsTheMembersTheSearchFound)
{
    controls.setChecked(IdGroupMode, true);
    controls.setText(IdAccountName, "Staff");
    holding({});
    net.network.computers["\\\\Q"].groupMembers["Staff"] = {"Q\\M0", "Q\\M1", "Q\\M2"};
    for (const char* m : {"M0", "M1", "M2"})
        account("Q", m);
    controller.searchCommand();
    ASSERT_EQ(dialogs.results.size(), 1u);
    const SearchOutcome& outcome = dialogs.results[0];
    ASSERT_EQ(list.rowCount(), 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(list.row(r), outcome.rows[r]) << r;
    EXPECT_EQ(row(0)[CellName], "Q");
    EXPECT_EQ(outcome.counts.notExist, 2);
    EXPECT_TRUE(controller.searchDone());
}

TEST_F(SearchCommandTest, TheBuiltinAdministratorNeedsNoNameAndEachRowShowsItsOwn)
{
    controls.setChecked(IdBuiltinAdminMode, true);
    controls.setText(IdAccountName, "");
    holding({});
    account("P", "Verwalter", true, {"Administratoren"}).rid = 500;
    account("R", "LocalBoss").rid = 500;
    account("Q", "Administrator"); // another identifier
    controller.searchCommand();
    EXPECT_TRUE(prompter.shown.empty());
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(row(0)[CellName] + " " + row(0)[CellUser], "R LocalBoss");
    EXPECT_EQ(row(1)[CellName] + " " + row(1)[CellUser], "P Verwalter");
    EXPECT_EQ(row(1)[CellGroups], "Administratoren");
    EXPECT_TRUE(controller.searchDone());

    net.network.computers["\\\\P"].accounts.erase("Verwalter");
    net.network.computers["\\\\R"].accounts.erase("LocalBoss");
    prompter.answers = {MessageAnswer::Yes};
    controller.searchCommand();
    EXPECT_EQ(lastMessage().text, "No machine has the built-in administrator account (any name). All computers have "
                                  "been removed from the list. You must repopulate the list.");
}

TEST_F(SearchCommandTest, NothingFoundEmptiesTheListInBothModes)
{
    holding({});
    controller.searchCommand();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_TRUE(controller.searchDone());
    EXPECT_TRUE(dialogs.results.empty());
    EXPECT_FALSE(enabled(IdPerform));
    EXPECT_EQ(lastMessage(), (Message{"All Computers Removed",
                                      "The username \"Administrator\" was not found on any machine. All computers have "
                                      "been removed from the list. You must repopulate the list.",
                                      MessageButtons::Ok, MessageIcon::Information}));
    EXPECT_EQ(cursor.depth, 0);

    controls.setChecked(IdGroupMode, true);
    controls.setText(IdAccountName, "  "); // searched as typed
    controller.searchCommand();
    EXPECT_EQ(lastMessage().text, "Local group \"  \" was empty on all machines. All computers have been removed from "
                                  "the list. You must repopulate the list.");
    EXPECT_EQ(prompter.shown.size(), 2u); // no Clear List question over an empty list
}

TEST_F(SearchCommandTest, TheLivenessStepRunsWhenAskedAndItsRemovalsLeaveTheList)
{
    controller.searchOptions().pingScan = true;
    holding({"R"});
    net.resolver.addresses = {{"P", 1}, {"Q", 2}, {"R", 3}};
    net.icmp.answering = {3};
    controller.searchCommand();
    EXPECT_EQ(dialogs.steps, (std::vector<std::string>{"discovery", "liveness", "check"}));
    EXPECT_EQ(list.names(), std::vector<std::string>{"R"});
    ASSERT_EQ(dialogs.results.size(), 1u);
    EXPECT_EQ(dialogs.results[0].counts, (SearchCounts{3, 2, 0}));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(SearchCommandTest, ALivenessFailureIsShownAndTheSearchGoesOn)
{
    controller.searchOptions().pingScan = true;
    holding({});
    net.icmp.refuse = true;
    controller.searchCommand();
    EXPECT_EQ(dialogs.steps, (std::vector<std::string>{"discovery", "liveness", "check"}));
    EXPECT_EQ(titles(), (std::vector<std::string>{"Error", "All Computers Removed"}));
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Information);
    EXPECT_NE(prompter.shown[0].text.find("No machines have been removed."), std::string::npos);

    // With every computer removed by the step, the check runs over nothing.
    net.icmp.refuse = false;
    dialogs.steps.clear();
    const int lookups = net.network.lookups;
    controller.searchCommand();
    EXPECT_EQ(dialogs.steps, (std::vector<std::string>{"discovery", "liveness", "check"}));
    EXPECT_EQ(net.network.lookups, lookups);
    EXPECT_EQ(lastMessage().title, "All Computers Removed");
}

} // namespace
} // namespace rm
