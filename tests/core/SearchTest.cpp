// The console's steps under the window's controller, on doubles: which
// computers the liveness step drops in each mode, the reasons --all prints,
// the rows and counts, and a batch run, dry and real.
#include "cli/CliDialogs.h"
#include "cli/ConsolePrompter.h"
#include "cli/ConsoleWindow.h"
#include "cli/DropReason.h"
#include "cli/LogPathShell.h"
#include "cli/NoFileChooser.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "core/batch/ActionValidation.h"
#include "adapters/linux/PosixFileWriter.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"

#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/FakeIcmp.h"
#include "support/FakeNetwork.h"
#include "support/FakePortProbe.h"
#include "support/MemoryProfileStore.h"
#include "support/ReportDoubles.h"
#include "support/TempDir.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <sstream>

namespace rm {
namespace {

class CliDialogsTest : public ::testing::Test {
protected:
    ScriptedClock clock;
    FakeResolver resolver;
    FakeIcmp icmp{clock};
    FakeNetwork network;
    FakeIdentity identity;
    FakeDirectory directory;
    PosixThreadStarter threads;
    TableProbe probe;
    std::ostringstream err, out;
    ConsolePrompter prompter{err, {ConfirmationTitle}, false};
    NoFileChooser chooser;
    PosixFileWriter files;
    LogPathShell shell;
    ManualWallClock wallClock;
    MemoryProfileStore profile;
    SettingsStore settings{profile};
    TempDir logs;

    // PC01 has the account; PC02 lacks it; PC03 refuses; PC05's check finds
    // no path; PC04 and PC06 do not answer pings, PC04 takes connections.
    void SetUp() override
    {
        const char* names[] = {"PC01", "PC02", "PC03", "PC04", "PC05", "PC06"};
        for (int i = 0; i < 6; ++i) {
            const std::uint32_t address = htonl(0x0A000001 + i);
            resolver.addresses[names[i]] = address;
            if (i != 3 && i != 5)
                icmp.answering.push_back(address);
        }
        FakeNetwork::Account admin;
        admin.passwordAge = 3 * 86400 + 5;
        admin.groups = {"Administrators"};
        network.computers["\\\\PC01"].accounts["Administrator"] = admin;
        network.computers["\\\\PC02"];
        network.computers["\\\\PC03"].status = ERROR_ACCESS_DENIED;
        network.computers["\\\\PC04"].accounts["Administrator"] = admin;
        network.computers["\\\\PC05"].status = ERROR_BAD_NETPATH;
        probe.open = {"PC01", "PC02", "PC03", "PC04", "PC05"};
    }

    CliDialogs dialogs(AliveMode alive, bool dryRun = false)
    {
        CliDialogs::Settings s;
        s.alive = alive;
        s.listed = std::vector<FoundComputer>{{"PC01", "A"}, {"PC02", "B"}, {"PC03", "C"},
                                              {"PC04", "D"}, {"PC05", "E"}, {"PC06", "F"}};
        s.dryRun = dryRun;
        s.logFolder = logs.path().string();
        s.out = &out;
        return CliDialogs({network, identity, directory, resolver, icmp, threads, clock, probe, prompter,
                           {prompter, chooser, files, shell, wallClock}, err},
                          s, progress);
    }

    std::map<std::string, std::string> searchReasons(AliveMode alive, std::vector<std::string>* matched = nullptr)
    {
        CliDialogs d = dialogs(alive);
        ConsoleWindow window(settings, prompter, d, identity);
        window.controls.setText(IdAccountName, "Administrator");
        window.controls.setChecked(IdUserMode, true);
        window.controller.searchOptions().pingScan = true;
        window.controller.searchCommand();
        std::map<std::string, std::string> reasons;
        for (const DroppedComputer& c : droppedComputers(window.controller.lastSearch(), d, alive))
            reasons[c.name] = c.reason;
        if (matched)
            for (const auto& row : window.list.rows)
                matched->push_back(row.cells[CellName] + " " + row.cells[CellType] + " " + row.cells[CellUser] + " "
                                   + row.cells[CellEnabled] + " " + row.cells[CellGroups] + " "
                                   + row.cells[CellPasswordAge]);
        last = window.controller.lastSearch();
        return reasons;
    }

    ConsoleProgress progress{err, false};
    SearchSummary last;
};

TEST_F(CliDialogsTest, IcmpDropsWhatDoesNotAnswerPings)
{
    std::vector<std::string> matched;
    EXPECT_EQ(searchReasons(AliveMode::Icmp, &matched),
              (std::map<std::string, std::string>{{"PC02", "account not found"},
                                                  {"PC03", "access denied"},
                                                  {"PC04", "offline by ping"},
                                                  {"PC05", "unreachable"},
                                                  {"PC06", "offline by ping"}}));
    EXPECT_EQ(matched, (std::vector<std::string>{"PC01 A Administrator Yes Administrators 3 days"}));
    EXPECT_EQ(last.totalFound, 6);
    EXPECT_EQ(last.offline, 4); // the window lumps ping, refusal and no path together
    EXPECT_EQ(last.notExist, 1);
    EXPECT_EQ(probe.probes, 0);
}

TEST_F(CliDialogsTest, SmbDropsWhatTakesNoConnection)
{
    std::vector<std::string> matched;
    const auto reasons = searchReasons(AliveMode::Smb, &matched);
    EXPECT_EQ(reasons.at("PC06"), "offline (no connection on port 445)");
    EXPECT_EQ(reasons.count("PC04"), 0u); // drops pings, takes connections
    EXPECT_EQ(matched.size(), 2u);
    EXPECT_EQ(icmp.opened, 0); // no ping at all
}

TEST_F(CliDialogsTest, BothKeepsWhatAnswersEither)
{
    probe.open.erase("PC02"); // answers pings only
    std::vector<std::string> matched;
    const auto reasons = searchReasons(AliveMode::Both, &matched);
    EXPECT_EQ(reasons.at("PC06"), "offline by ping and no connection on port 445");
    EXPECT_EQ(reasons.at("PC02"), "account not found"); // kept by its ping
    EXPECT_EQ(reasons.count("PC04"), 0u);                // kept by its port
    EXPECT_EQ(matched.size(), 2u);
    EXPECT_EQ(last.offline, 3);
}

TEST_F(CliDialogsTest, BothWithoutPingsLetsThePortDecide)
{
    icmp.refuse = true;
    const auto reasons = searchReasons(AliveMode::Both);
    EXPECT_EQ(reasons.at("PC06"), "offline by ping and no connection on port 445");
    EXPECT_EQ(reasons.count("PC04"), 0u);
    EXPECT_NE(err.str().find("Error: Unable to perform ping scan"), std::string::npos);
}

void selectTargets(ConsoleWindow& window, const std::vector<std::string>& computers)
{
    for (const std::string& c : computers) {
        const int row = window.list.rowCount();
        window.list.insertRow(row, c);
        window.list.setCellText(row, CellUser, "Administrator");
        window.list.setSelected(row, true);
    }
}

TEST_F(CliDialogsTest, ADryRunSaysWhatItWouldDoAndDoesNothing)
{
    CliDialogs d = dialogs(AliveMode::Icmp, true);
    ConsoleWindow window(settings, prompter, d, identity);
    selectTargets(window, {"PC01", "PC03"});
    window.controls.setChecked(IdDisableAccount, true);
    window.controller.performCommand();
    EXPECT_EQ(out.str(), "PC01\\Administrator: would disable the account\n"
                         "PC03\\Administrator: would disable the account\n");
    EXPECT_TRUE(network.changes.empty());
    EXPECT_FALSE(d.totals());
    EXPECT_EQ(shell.opened(), "");
    EXPECT_TRUE(std::filesystem::is_empty(logs.path()));
}

TEST_F(CliDialogsTest, ABatchCountsLogsAndPrintsEachAccount)
{
    CliDialogs d = dialogs(AliveMode::Icmp);
    ConsoleWindow window(settings, prompter, d, identity);
    selectTargets(window, {"PC01", "PC03"});
    window.controls.setChecked(IdDisableAccount, true);
    window.controller.performCommand();
    ASSERT_TRUE(d.totals());
    EXPECT_EQ(d.totals()->enable, (std::array<int, 3>{1, 1, 2}));
    EXPECT_EQ(d.totals()->password, (std::array<int, 3>{0, 0, 0}));
    EXPECT_FALSE(d.totals()->cancelled);
    EXPECT_EQ(out.str(), "PC01\\Administrator: disabled\n"
                         "PC03\\Administrator: disable: ERROR: The user does not have access to the requested "
                         "information.\n");
    ASSERT_NE(shell.opened(), "");
    EXPECT_EQ(std::filesystem::path(shell.opened()).parent_path(), logs.path());
    EXPECT_NE(TempDir::read(shell.opened()).find("<TD>PC03</TD>"), std::string::npos);
}

} // namespace
} // namespace rm
