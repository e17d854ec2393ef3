#include "settings/SettingsStore.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "support/Doubles.h"
#include "gui/kit/MemoryDialogControls.h"
#include "gui/mainwindow/MemoryComputerList.h"
#include "support/MemoryProfileStore.h"

#include <gtest/gtest.h>

#include <thread>

namespace rm {
namespace {

class MainWindowControllerTest : public ::testing::Test {
protected:
    MemoryDialogControls controls{{{IdUserMode, IdGroupMode},
                                 {IdKeepEnabledState, IdEnableAccount, IdDisableAccount}}};
    MemoryComputerList list;
    MemoryProfileStore profile;
    SettingsStore settings{profile};
    ScriptedPrompter prompter;
    RecordingPoster poster;
    RecordingDialogs dialogs;
    FakeIdentity identity;
    SleepingWait wait;
    CountingWaitCursor waitCursor;
    MainWindowController controller{{controls, list, settings, prompter, poster, dialogs, identity, waitCursor, wait}};

    bool enabled(int id) const { return controls.isEnabled(id); }
    // What the window does when the lookup's end message arrives.
    void whenTheDefaultDomainArrives()
    {
        while (!poster.hasPosted(MessageDefaultDomainFound))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        controller.defaultDomainFound();
    }
    void addRows(int n)
    {
        for (int i = 0; i < n; ++i)
            insertDiscovered(list, "PC" + std::to_string(i), "Server");
    }
};

TEST_F(MainWindowControllerTest, FirstStartWritesBothSectionsAtOnce)
{
    identity.known = true;
    identity.domain = "LAB";
    identity.dns = "lab.example";
    controller.initialise();
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Domain")), ""); // the defaults at once
    whenTheDefaultDomainArrives();

    EXPECT_EQ(controller.searchOptions().domain, "lab.example");
    EXPECT_EQ(controls.text(IdDomain), "lab.example");
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Domain")), "lab.example");
    EXPECT_EQ(profile.namesIn("Search Options").size(), 7u);
    EXPECT_EQ(profile.namesIn("Passwords").size(), 12u);
    // The name and mode belong to the quit procedure.
    EXPECT_FALSE(profile.has("Search Options", "Username"));
    EXPECT_FALSE(profile.has("Search Options", "Search Groups"));

    EXPECT_EQ(controls.text(IdAccountName), "Administrator");
    EXPECT_TRUE(controls.controls[IdAccountName].allSelected);
    EXPECT_EQ(controls.focus, IdAccountName);
    EXPECT_TRUE(controls.isChecked(IdUserMode));
    EXPECT_FALSE(controls.isChecked(IdGroupMode));
    EXPECT_TRUE(controls.isChecked(IdKeepEnabledState));
    EXPECT_FALSE(controls.controls[IdLocalUserLabel].visible);
    EXPECT_TRUE(controls.controls[IdUserMode].visible);
    EXPECT_TRUE(controls.controls[IdExportList].visible);
    // The About box's message, and the lookup's in whichever order.
    ASSERT_EQ(poster.posts.size(), 2u);
    EXPECT_TRUE(poster.hasPosted(1025));
    EXPECT_TRUE(poster.hasPosted(MessageDefaultDomainFound));
}

TEST_F(MainWindowControllerTest, TheDefaultDomainIsLookedUpOffTheWindowThread)
{
    std::atomic<bool> release{false};
    identity.known = true;
    identity.domain = "LAB";
    identity.dns = "lab.example";
    identity.onLookup = [&] {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    controller.initialise(); // returns while the lookup waits on the network
    EXPECT_EQ(controls.text(IdDomain), "");
    EXPECT_EQ(identity.credentialsAsked, 0);

    // A search started meanwhile waits for it and scans the domain found.
    controls.setText(IdAccountName, "Administrator");
    std::thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        release = true;
    }).detach();
    controller.searchCommand();
    EXPECT_EQ(dialogs.scannedDomains, std::vector<std::string>{"lab.example"});
    EXPECT_EQ(controls.text(IdDomain), "lab.example");
    controller.defaultDomainFound(); // the end message that arrives late changes nothing
    EXPECT_EQ(controller.searchOptions().domain, "lab.example");
}

TEST_F(MainWindowControllerTest, ADomainChosenWhileTheLookupRunsStays)
{
    identity.known = true;
    identity.dns = "lab.example";
    controller.initialise();
    dialogs.editSearchOptions = [](SearchOptions& o) { o.domain = "corp.example"; };
    controller.searchOptionsExchange();
    whenTheDefaultDomainArrives();
    EXPECT_EQ(controller.searchOptions().domain, "corp.example");
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Domain")), "corp.example");
}

TEST_F(MainWindowControllerTest, StoredDomainIsNeverReplaced)
{
    profile.writeText("Search Options", "Domain", "corp.example");
    identity.known = true;
    identity.dns = "lab.example";
    controller.initialise();
    EXPECT_EQ(controller.searchOptions().domain, "corp.example");
    EXPECT_EQ(controls.text(IdDomain), "corp.example");
    EXPECT_EQ(identity.lookups, 0);
}

TEST_F(MainWindowControllerTest, FailedLookupLeavesTheDomainEmpty)
{
    controller.initialise();
    whenTheDefaultDomainArrives();
    EXPECT_EQ(controls.text(IdDomain), "");
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Domain")), "");
}

TEST_F(MainWindowControllerTest, StoredNameAndGroupMode)
{
    profile.writeText("Search Options", "Username", "");
    profile.writeInteger("Search Options", "Search Groups", 1);
    controller.initialise();
    EXPECT_EQ(controls.text(IdAccountName), "");
    EXPECT_TRUE(controls.isChecked(IdGroupMode));
    EXPECT_FALSE(controls.isChecked(IdUserMode));
}

TEST_F(MainWindowControllerTest, DomainLabelWithAnOrganizationalUnit)
{
    controller.searchOptions().domain = "lab.example";
    controller.searchOptions().ScanType = 1;
    controller.searchOptions().restrictToOrgUnit = true;
    controller.refreshDomainLabel();
    EXPECT_EQ(controls.text(IdDomainLabel), "Org Unit:");
    EXPECT_EQ(controls.text(IdDomain), "lab.example/");
    controller.searchOptions().orgUnit = "Sales/East";
    controller.refreshDomainLabel();
    EXPECT_EQ(controls.text(IdDomain), "lab.example/Sales/East");
    controller.searchOptions().ScanType = 0; // the browse list ignores the unit
    controller.refreshDomainLabel();
    EXPECT_EQ(controls.text(IdDomainLabel), "Domain:");
    EXPECT_EQ(controls.text(IdDomain), "lab.example");
}

TEST_F(MainWindowControllerTest, EnableRulesForAnEmptyAndADiscoveredList)
{
    controls.setEnabled(IdVerifyLabel, false);
    controls.setEnabled(IdConfigure, true); // kept while not active
    controller.refreshEnableRules();
    for (int id : {IdComputerList, IdExportList, IdSelectAll, IdChangePassword, IdChangeUsername,
                   IdPerform, IdEnableLabel, IdDisableAccount, IdEnableAccount, IdKeepEnabledState,
                   IdPassword, IdVerifyPassword, IdNewUserName})
        EXPECT_FALSE(enabled(id)) << id;
    for (int id : {IdAccountName, IdUserMode, IdGroupMode, IdConfigure})
        EXPECT_TRUE(enabled(id)) << id;

    addRows(2);
    controller.refreshEnableRules();
    EXPECT_TRUE(enabled(IdExportList));
    EXPECT_TRUE(enabled(IdSelectAll));
    EXPECT_FALSE(enabled(IdComputerList));
    EXPECT_FALSE(enabled(IdPerform));
}

TEST_F(MainWindowControllerTest, EnableRulesAfterASearch)
{
    addRows(1);
    controller.setSearchDone(true);
    controller.refreshEnableRules();
    for (int id : {IdComputerList, IdChangePassword, IdChangeUsername, IdPerform, IdEnableLabel,
                   IdDisableAccount, IdEnableAccount, IdKeepEnabledState})
        EXPECT_TRUE(enabled(id)) << id;
    for (int id : {IdPassword, IdVerifyPassword, IdVerifyLabel, IdGenerateUnique, IdConfigure,
                   IdNewUserName})
        EXPECT_FALSE(enabled(id)) << id;

    controls.setChecked(IdChangePassword, true);
    controls.setChecked(IdChangeUsername, true);
    controller.refreshEnableRules();
    for (int id : {IdPassword, IdVerifyPassword, IdVerifyLabel, IdGenerateUnique, IdNewUserName})
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_FALSE(enabled(IdConfigure));

    controls.setChecked(IdGenerateUnique, true);
    controller.refreshEnableRules();
    EXPECT_FALSE(enabled(IdPassword));
    EXPECT_FALSE(enabled(IdVerifyPassword));
    EXPECT_TRUE(enabled(IdConfigure));

    controls.setChecked(IdChangePassword, false);
    controller.refreshEnableRules();
    for (int id : {IdPassword, IdVerifyPassword, IdVerifyLabel, IdGenerateUnique, IdConfigure})
        EXPECT_FALSE(enabled(id)) << id;
}

TEST_F(MainWindowControllerTest, QuitAsksOnlyWithASelection)
{
    controls.setText(IdAccountName, "Guest");
    controls.setChecked(IdGroupMode, true);
    EXPECT_TRUE(controller.quit());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Username")), "Guest");
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Search Options", "Search Groups")), 1u);

    addRows(3);
    list.setSelected(1, true);
    controls.setText(IdAccountName, "");
    prompter.answers = {MessageAnswer::No};
    EXPECT_FALSE(controller.quit());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0],
              (Message{"Rostermill", "You have some machines selected.  Are you sure you want to quit?",
                       MessageButtons::YesNo, MessageIcon::Question}));
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Username")), "Guest");
    EXPECT_TRUE(list.isSelected(1));

    prompter.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(controller.quit());
    EXPECT_EQ(std::get<std::string>(*profile.value("Search Options", "Username")), "");
}

TEST_F(MainWindowControllerTest, SearchOptionsExchangeWorksOnACopy)
{
    controller.initialise();
    // Every value away from its default, and every edited one different again.
    const SearchOptions held{"lab.example", false, true, 0, false, true, "East"};
    const SearchOptions edited{"corp.example", true, false, 1, true, false, "Sales"};
    controller.searchOptions() = held;
    dialogs.editSearchOptions = [&](SearchOptions& o) { o = edited; };
    profile.log.clear();

    dialogs.searchOptionsOk = false;
    controller.searchOptionsExchange();
    EXPECT_EQ(dialogs.searchOptionsShown, held);
    EXPECT_EQ(controller.searchOptions(), held);
    EXPECT_TRUE(profile.log.empty());
    EXPECT_NE(controls.focus, IdStartSearch);

    dialogs.searchOptionsOk = true;
    controller.searchOptionsExchange();
    EXPECT_EQ(dialogs.searchOptionsShown, held);
    EXPECT_EQ(controller.searchOptions(), edited);
    EXPECT_EQ(controls.text(IdDomainLabel), "Org Unit:");
    EXPECT_EQ(controls.text(IdDomain), "corp.example/Sales");
    EXPECT_EQ(controls.focus, IdStartSearch);
    EXPECT_EQ(profile.log.size(), 7u);
    EXPECT_EQ(settings.loadSearchOptions(), edited);
}

TEST_F(MainWindowControllerTest, PasswordOptionsExchangeSavesOnlyOnOk)
{
    dialogs.editPasswordOptions = [](PasswordOptions& o) { o.bitsOfEntropy = 200; };
    dialogs.passwordOptionsOk = false;
    controller.passwordOptionsExchange();
    EXPECT_EQ(controller.passwordOptions().bitsOfEntropy, 128);
    EXPECT_FALSE(profile.has("Passwords", "BitsOfEntropy"));
    dialogs.passwordOptionsOk = true;
    controller.passwordOptionsExchange();
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Passwords", "BitsOfEntropy")), 200u);
}

TEST_F(MainWindowControllerTest, SelectAllSelectsEveryRowAndFocusesTheList)
{
    controller.selectAll();
    EXPECT_EQ(controls.focus, IdComputerList);
    addRows(3);
    controller.selectAll();
    EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 1, 2}));
}

} // namespace
} // namespace rm
