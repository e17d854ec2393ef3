#include "gui/MainWindowFixture.h"

#include <atomic>
#include <thread>

namespace rm {
namespace {

using MainWindowControllerTest = MainWindowFixture;

TEST_F(MainWindowControllerTest, FirstStartWritesBothSectionsAtOnce)
{
    net.identity.known = true;
    net.identity.domain = "LAB";
    net.identity.dns = "lab.example";
    controller.initialise();
    EXPECT_EQ(stored("Search Options", "Domain"), ""); // the defaults at once
    ui.runNext(); // the lookup's end

    EXPECT_EQ(controller.searchOptions().domain, "lab.example");
    EXPECT_EQ(controls.text(IdDomain), "lab.example");
    EXPECT_EQ(stored("Search Options", "Domain"), "lab.example");
    EXPECT_EQ(profile.namesIn("Search Options").size(), 8u);
    EXPECT_EQ(profile.namesIn("Passwords").size(), 13u);
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
    EXPECT_EQ(ui.waiting(), 0u);
}

TEST_F(MainWindowControllerTest, ASearchStartedDuringTheLookupWaitsForItAndScansTheDomainFound)
{
    std::atomic<bool> release{false};
    net.identity.known = true;
    net.identity.domain = "LAB";
    net.identity.dns = "lab.example";
    net.identity.onLookup = [&] {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    controller.initialise(); // returns while the lookup waits on the network
    EXPECT_EQ(controls.text(IdDomain), "");

    // Released only once the search waits, turning the window's thread.
    dialogs.onWait = [&] {
        release = true;
        ui.runNext();
    };
    controller.searchCommand();
    EXPECT_EQ(dialogs.waits, 1);
    EXPECT_EQ(net.network.enumeratedDomains, std::vector<std::string>{"lab.example"});
    EXPECT_EQ(controls.text(IdDomain), "lab.example");
    EXPECT_EQ(stored("Search Options", "Domain"), "lab.example");
    EXPECT_EQ(net.identity.credentialsAsked, 1);
    ui.runPosted();
    controller.defaultDomainFound(); // an end notice that comes late changes nothing
    EXPECT_EQ(controller.searchOptions().domain, "lab.example");

    // Without a lookup under way a search does not wait.
    controller.searchCommand();
    EXPECT_EQ(dialogs.waits, 1);
}

TEST_F(MainWindowControllerTest, ADomainChosenWhileTheLookupRunsStays)
{
    std::atomic<bool> release{false};
    net.identity.known = true;
    net.identity.dns = "lab.example";
    net.identity.onLookup = [&] {
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    controller.initialise();
    dialogs.editSearchOptions = [](SearchOptions& o) { o.domain = "corp.example"; };
    controller.searchOptionsExchange();
    release = true;
    ui.runNext();
    EXPECT_EQ(controller.searchOptions().domain, "corp.example");
    EXPECT_EQ(controls.text(IdDomain), "corp.example");
    EXPECT_EQ(stored("Search Options", "Domain"), "corp.example");
}

TEST_F(MainWindowControllerTest, StoredDomainIsNeverReplaced)
{
    profile.writeText("Search Options", "Domain", "corp.example");
    net.identity.known = true;
    net.identity.dns = "lab.example";
    controller.initialise();
    EXPECT_EQ(controller.searchOptions().domain, "corp.example");
    EXPECT_EQ(controls.text(IdDomain), "corp.example");
    EXPECT_EQ(net.identity.lookups, 0);
    EXPECT_EQ(ui.waiting(), 0u);
}

TEST_F(MainWindowControllerTest, FailedLookupLeavesTheDomainEmpty)
{
    controller.initialise();
    ui.runNext();
    EXPECT_EQ(net.identity.lookups, 1);
    EXPECT_EQ(controls.text(IdDomain), "");
    EXPECT_EQ(stored("Search Options", "Domain"), "");
}

TEST_F(MainWindowControllerTest, StoredNameAndGroupMode)
{
    profile.writeText("Search Options", "Domain", "lab.example");
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
    controller.searchOptions().method = DiscoveryMethod::Directory;
    controller.searchOptions().restrictToOrgUnit = true;
    controller.refreshDomainLabel();
    EXPECT_EQ(controls.text(IdDomainLabel), "Org Unit:");
    EXPECT_EQ(controls.text(IdDomain), "lab.example/");
    controller.searchOptions().orgUnit = "Sales/East";
    controller.refreshDomainLabel();
    EXPECT_EQ(controls.text(IdDomain), "lab.example/Sales/East");
    controller.searchOptions().method = DiscoveryMethod::BrowseList; // the browse list ignores the unit
    controller.refreshDomainLabel();
    EXPECT_EQ(controls.text(IdDomainLabel), "Domain:");
    EXPECT_EQ(controls.text(IdDomain), "lab.example");
}

TEST_F(MainWindowControllerTest, EnableRulesForAnEmptyAndADiscoveredList)
{
    controls.setEnabled(IdVerifyLabel, false);
    controls.setEnabled(IdConfigure, true); // kept while not active
    controller.refreshEnableRules();
    for (int id : {IdComputerList, IdExportList, IdSelectAll, IdChangePassword, IdChangeUsername, IdPerform,
                   IdEnableLabel, IdDisableAccount, IdEnableAccount, IdKeepEnabledState, IdPassword,
                   IdVerifyPassword, IdNewUserName})
        EXPECT_FALSE(enabled(id)) << id;
    for (int id : {IdAccountName, IdUserMode, IdGroupMode, IdConfigure})
        EXPECT_TRUE(enabled(id)) << id;

    discovered(2);
    controller.refreshEnableRules();
    EXPECT_TRUE(enabled(IdExportList));
    EXPECT_TRUE(enabled(IdSelectAll));
    EXPECT_FALSE(enabled(IdComputerList));
    EXPECT_FALSE(enabled(IdPerform));
}

TEST_F(MainWindowControllerTest, EnableRulesAfterASearch)
{
    searched({"PC1"});
    controller.refreshEnableRules();
    for (int id : {IdComputerList, IdChangePassword, IdChangeUsername, IdPerform, IdEnableLabel, IdDisableAccount,
                   IdEnableAccount, IdKeepEnabledState})
        EXPECT_TRUE(enabled(id)) << id;
    for (int id : {IdPassword, IdVerifyPassword, IdVerifyLabel, IdGenerateUnique, IdConfigure, IdNewUserName})
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
    EXPECT_EQ(stored("Search Options", "Username"), "Guest");
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Search Options", "Search Groups")), 1u);

    discovered(3);
    list.setSelected(1, true);
    controls.setText(IdAccountName, "");
    prompter.answers = {MessageAnswer::No};
    EXPECT_FALSE(controller.quit());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0],
              (Message{"Rostermill", "You have some machines selected.  Are you sure you want to quit?",
                       MessageButtons::YesNo, MessageIcon::Question}));
    EXPECT_EQ(stored("Search Options", "Username"), "Guest");
    EXPECT_TRUE(list.isSelected(1));

    prompter.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(controller.quit());
    EXPECT_EQ(stored("Search Options", "Username"), "");
}

// The box is the record's GenerateUnique: shown as stored, saved with the
// options (after their dialog) and at quit, never lost to the dialog's OK.
TEST_F(MainWindowControllerTest, TheUniquePasswordBoxIsStoredWithThePasswordOptions)
{
    auto generateUnique = [&] { return std::get<std::uint32_t>(*profile.value("Passwords", "GenerateUnique")); };
    profile.writeInteger("Passwords", "GenerateUnique", 1);
    controller.initialise();
    EXPECT_TRUE(controls.isChecked(IdGenerateUnique));

    controls.setChecked(IdGenerateUnique, false);
    dialogs.editPasswordOptions = [](PasswordOptions& o) { o.bitsOfEntropy = 100; };
    controller.passwordOptionsExchange();
    EXPECT_EQ(generateUnique(), 0u);
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Passwords", "BitsOfEntropy")), 100u);

    controls.setChecked(IdGenerateUnique, true);
    EXPECT_TRUE(controller.quit());
    EXPECT_EQ(generateUnique(), 1u);
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Passwords", "BitsOfEntropy")), 100u);
}

TEST_F(MainWindowControllerTest, SearchOptionsExchangeWorksOnACopy)
{
    profile.writeText("Search Options", "Domain", "x");
    controller.initialise();
    // Every value away from its default, and every edited one different again.
    const SearchOptions held{"lab.example", false, true, DiscoveryMethod::BrowseList, false, true, "East"};
    const SearchOptions edited{"corp.example", true, false, DiscoveryMethod::Directory, true, false, "Sales"};
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
    EXPECT_EQ(profile.log.size(), 8u);
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
    EXPECT_EQ(controller.passwordOptions().bitsOfEntropy, 200);
    EXPECT_EQ(std::get<std::uint32_t>(*profile.value("Passwords", "BitsOfEntropy")), 200u);
}

TEST_F(MainWindowControllerTest, SelectAllSelectsEveryRowAndFocusesTheList)
{
    controller.selectAll();
    EXPECT_EQ(controls.focus, IdComputerList);
    discovered(3);
    controller.selectAll();
    EXPECT_EQ(selectedRows(list), (std::vector<int>{0, 1, 2}));
}

TEST_F(MainWindowControllerTest, ExportListHandsOverTheRowsAsShown)
{
    controller.exportList(); // an empty list is exported too
    searched({"PC2", "PC1"});
    list.swapRows(0, 1); // as a sort leaves them
    controller.exportList();
    ASSERT_EQ(dialogs.exported.size(), 2u);
    EXPECT_TRUE(dialogs.exported[0].empty());
    ASSERT_EQ(dialogs.exported[1].size(), 2u);
    EXPECT_EQ(dialogs.exported[1][0], list.rows[0].cells);
    EXPECT_EQ(dialogs.exported[1][0][CellName], "PC1");
    EXPECT_EQ(dialogs.exported[1][1][CellName], "PC2");
}

} // namespace
} // namespace rm
