#include "core/search/AccountSearch.h"
#include "settings/SettingsStore.h"
#include "core/search/DomainScanWorker.h"
#include "core/search/PingScanWorker.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/NetworkIdentity.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "adapters/netapi/NetApiClient.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "gui/kit/MemoryDialogControls.h"
#include "support/LabManifest.h"
#include "gui/mainwindow/MemoryComputerList.h"
#include "support/MemoryProfileStore.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

class CountingPoster : public Poster {
public:
    void post(int message, std::uintptr_t, std::intptr_t) override
    {
        if (message == MessageFinished)
            ++finished;
    }
    std::atomic<int> finished{0};
};

// The search's dialogs without windows: each step runs its real worker to the end.
class WorkerDialogs : public RecordingDialogs {
public:
    WorkerDialogs(NetworkManagement& net, std::vector<FoundComputer> discovered) : net_(net)
    {
        this->discovered = std::move(discovered);
    }
    std::optional<std::vector<AccountCheckResult>> runAccountSearch(const std::vector<std::string>& names,
                                                                    const std::string& account, bool group) override
    {
        searchedNames = names;
        CountingPoster poster;
        AccountSearch search(names, account, {net_, threads_, clock_});
        search.groupMode = group;
        search.start(poster);
        search.join();
        return search.results();
    }

    PingScanOutcome runPingScan(const std::vector<std::string>& names) override
    {
        pinged.push_back(names);
        CountingPoster poster;
        PingScanWorker ping(names, {resolver_, sockets_, threads_, clock_});
        ping.start(poster);
        ping.join();
        return {ping.removalList(), ping.errorText()};
    }

private:
    NetworkManagement& net_;
    PosixThreadStarter threads_;
    SteadyTickClock clock_;
    AddrInfoResolver resolver_;
    LinuxIcmpSockets sockets_;
};

class SearchLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    NetApiClient net{{HELPER_PATH, 16, 30000ms}};
    MemoryDialogControls controls{{{IdUserMode, IdGroupMode}, {IdKeepEnabledState, IdEnableAccount, IdDisableAccount}}};
    MemoryComputerList list;
    MemoryProfileStore profile;
    SettingsStore settings{profile};
    ScriptedPrompter prompter;
    RecordingPoster self;
    FakeIdentity identity;
    SleepingWait wait;
    CountingWaitCursor cursor;

    void SetUp() override { net.setCredentials(lab.operatorAccount(), lab.operatorPassword()); }

    // Every member of the lab and the offline name, as a discovery would give them.
    std::vector<FoundComputer> everyComputer() const
    {
        std::vector<FoundComputer> all;
        for (const json& m : lab.json["members"])
            all.push_back({m["name"], "Server"});
        all.push_back({lab.json["offline"]["name"], "Workstation"});
        return all;
    }
    std::string days() const
    {
        return std::to_string((std::time(nullptr) - LabManifest::readySeconds()) / 86400) + " days";
    }
};

TEST_F(SearchLabTest, UserModeFindsTheAccountWhereTheManifestHasIt)
{
    WorkerDialogs dialogs(net, everyComputer());
    MainWindowController c({controls, list, settings, prompter, self, dialogs, identity, cursor, wait});
    c.initialise();
    c.searchOptions().pingScan = false;
    controls.setText(IdAccountName, "Administrator");
    c.searchCommand();

    std::map<std::string, std::vector<std::string>> expected;
    for (const json& m : lab.json["members"]) {
        if (m.value("refusesOperator", false))
            continue;
        for (const json& u : m["users"]) {
            if (u["name"] != "Administrator")
                continue;
            std::string groups;
            for (const json& g : u["groups"])
                groups += (groups.empty() ? "" : ", ") + g.get<std::string>();
            expected[m["name"]] = {m["name"], "Server", "Administrator", u["enabled"].get<bool>() ? "Yes" : "No",
                                   groups, days()};
        }
    }
    std::map<std::string, std::vector<std::string>> rows;
    for (const auto& r : list.rows)
        rows[r.cells[0]] = std::vector<std::string>(r.cells.begin(), r.cells.end());
    EXPECT_EQ(rows, expected);
    ASSERT_EQ(dialogs.summaries.size(), 1u);
    const SearchSummary& s = dialogs.summaries[0];
    EXPECT_EQ(s.totalFound, static_cast<int>(everyComputer().size()));
    EXPECT_EQ(s.offline, 2);  // the refusing member and the one that is not there
    EXPECT_EQ(s.notExist, 2); // renamed and missing Administrator
}

TEST_F(SearchLabTest, PingScanningDropsTheOfflineComputerBeforeTheAccountCheck)
{
    WorkerDialogs dialogs(net, everyComputer());
    MainWindowController c({controls, list, settings, prompter, self, dialogs, identity, cursor, wait});
    c.initialise();
    c.searchOptions().pingScan = true;
    controls.setText(IdAccountName, "Administrator");
    c.searchCommand();

    const std::string offline = lab.json["offline"]["name"];
    ASSERT_EQ(dialogs.pinged.size(), 1u);
    EXPECT_EQ(dialogs.pinged[0].size(), everyComputer().size());
    EXPECT_EQ(std::count(dialogs.searchedNames.begin(), dialogs.searchedNames.end(), "\\\\" + offline), 0);
    EXPECT_EQ(dialogs.searchedNames.size(), everyComputer().size() - 1);
    ASSERT_EQ(dialogs.summaries.size(), 1u);
    const SearchSummary& s = dialogs.summaries[0];
    ASSERT_FALSE(s.notMatched.empty());
    EXPECT_EQ(s.notMatched[0].name, offline); // the ping step's removals come first
    EXPECT_TRUE(s.notMatched[0].offline);
    EXPECT_EQ(s.totalFound, static_cast<int>(everyComputer().size()));
    EXPECT_EQ(s.offline, 2); // dropped by the ping step, and the refusing member
    EXPECT_EQ(s.notExist, 2);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(SearchLabTest, GroupsHeldOnlyThroughAGlobalGroupAreListed)
{
    WorkerDialogs dialogs(net, everyComputer());
    MainWindowController c({controls, list, settings, prompter, self, dialogs, identity, cursor, wait});
    c.initialise();
    c.searchOptions().pingScan = false;
    controls.setText(IdAccountName, "staffer");
    c.searchCommand();
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cellText(0, CellName), "PC01");
    const json& staffer = lab.member("PC01")["users"][3];
    ASSERT_EQ(staffer["name"], "staffer");
    ASSERT_TRUE(staffer["directGroups"].empty());
    EXPECT_EQ(list.cellText(0, CellGroups), staffer["groups"][0].get<std::string>());
}

TEST_F(SearchLabTest, GroupModeGivesOneRowPerLocalMember)
{
    WorkerDialogs dialogs(net, everyComputer());
    MainWindowController c({controls, list, settings, prompter, self, dialogs, identity, cursor, wait});
    c.initialise();
    c.searchOptions().pingScan = false;
    controls.setChecked(IdGroupMode, true);
    controls.setText(IdAccountName, "Helpdesk Operators");
    c.searchCommand();

    std::multiset<std::pair<std::string, std::string>> expected, got;
    for (const json& m : lab.json["members"])
        for (const json& g : m["groups"])
            if (g["name"] == "Helpdesk Operators")
                for (const json& member : g["members"])
                    expected.insert({m["name"].get<std::string>(), member.get<std::string>()});
    for (const auto& r : list.rows)
        got.insert({r.cells[CellName], r.cells[CellUser]});
    EXPECT_EQ(got, expected);
    ASSERT_EQ(dialogs.summaries.size(), 1u);
    // A group that cannot be read (refused, unreachable) has no members: counted empty, not offline.
    EXPECT_EQ(dialogs.summaries[0].offline, 0);
    std::set<std::string> matched;
    for (const auto& e : expected)
        matched.insert(e.first);
    EXPECT_EQ(dialogs.summaries[0].notExist, static_cast<int>(everyComputer().size() - matched.size()));

    // A group whose members are no local accounts is empty everywhere.
    controls.setText(IdAccountName, "Remote Staff");
    prompter.answers = {MessageAnswer::Yes};
    c.searchCommand();
    EXPECT_EQ(list.rowCount(), 0);
    EXPECT_EQ(prompter.shown.back().title, "All Computers Removed");
}

TEST_F(SearchLabTest, TheDomainScanReadsTheBrowseList)
{
    NetworkIdentity identityOnNetwork(net, net, nullptr);
    FakeDirectory directory;
    ServingPoster dialog(prompter, cursor);
    std::ostringstream out;
    DomainScanWorker scan(lab.json["domain"]["netbios"], SearchOptions{}, {net, identityOnNetwork, directory, out});
    scan.start(dialog);
    scan.join();
    std::set<std::string> names, expected;
    for (const auto& c : scan.computers()) {
        names.insert(c.name);
        EXPECT_EQ(c.type.rfind("Server", 0), 0u) << c.name; // the members serve files
    }
    for (const json& m : lab.json["members"])
        if (m["browse"] != "none")
            expected.insert(m["name"]);
    EXPECT_EQ(names, expected);
    // This lab's controller is not in its browse list: no hidden scan.
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_EQ(prompter.shown.back().title, "Partial Failure");
    EXPECT_TRUE(scan.isFinished());
}

// The account search straight over the adapter, as its dialog runs it.
class AccountSearchLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    PosixThreadStarter threads;
    SteadyTickClock clock;
    CountingPoster poster;

    std::vector<std::string> servers(const std::string& name, int times)
    {
        return std::vector<std::string>(times, "\\" + name);
    }
    std::vector<std::string> unreachable(int count)
    {
        std::vector<std::string> names;
        for (int i = 1; i <= count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "\\%s%03d",
                          lab.json["unreachable"]["namePrefix"].get<std::string>().c_str(), i);
            names.push_back(name);
        }
        return names;
    }
};

TEST_F(AccountSearchLabTest, SilentAndUnreachableComputersHoldNoHelper)
{
    // Two helpers only: were each silent computer to hold one for the call
    // limit, this would take many minutes.
    NetApiClient net({HELPER_PATH, 2, 30000ms, 3000ms});
    net.setCredentials(lab.operatorAccount(), lab.operatorPassword());
    std::vector<std::string> names = servers(lab.json["blackhole"]["name"], 60);
    const auto gone = unreachable(60);
    names.insert(names.end(), gone.begin(), gone.end());
    names.push_back("\\PC01");
    const auto started = std::chrono::steady_clock::now();
    AccountSearch search(names, "Administrator", {net, threads, clock});
    search.start(poster);
    search.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    const auto& r = search.results();
    for (std::size_t i = 0; i + 1 < r.size(); ++i) {
        EXPECT_TRUE(r[i].failed) << names[i];
        EXPECT_TRUE(r[i].notMatched) << names[i];
    }
    EXPECT_FALSE(r.back().notMatched);
}

TEST_F(AccountSearchLabTest, ACancelEndsASearchOfSilentComputersWithinTwoSeconds)
{
    NetApiClient net({HELPER_PATH, 32, 30000ms});
    net.setCredentials(lab.operatorAccount(), lab.operatorPassword());
    std::vector<std::string> names = servers(lab.json["blackhole"]["name"], 700);
    AccountSearch search(names, "Administrator", {net, threads, clock});
    search.start(poster);
    std::this_thread::sleep_for(1s);
    const auto cancelled = std::chrono::steady_clock::now();
    search.requestCancel();
    while (!search.isFinished())
        std::this_thread::sleep_for(5ms);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s);
    search.join();
}

TEST_F(AccountSearchLabTest, ASecondSearchAfterTheIdleHelpersWereKilled)
{
    NetApiClient net({HELPER_PATH, 4, 30000ms});
    net.setCredentials(lab.operatorAccount(), lab.operatorPassword());
    const std::vector<std::string> names = {"\\PC01", "\\PC02", "\\PC01", "\\PC02"};
    for (int round = 0; round < 2; ++round) {
        AccountSearch search(names, "Administrator", {net, threads, clock});
        search.start(poster);
        search.join();
        for (const auto& r : search.results())
            EXPECT_FALSE(r.notMatched) << "round " << round;
        // An out-of-memory killer, a crash, an administrator: every idle helper goes.
        const auto killed = net.helperProcesses();
        ASSERT_FALSE(killed.empty());
        for (pid_t pid : killed)
            ::kill(pid, SIGKILL);
        std::this_thread::sleep_for(200ms);
    }
    // And between two calls of one computer's check.
    auto hold = net.hold("\\PC01");
    USER_INFO_1 info;
    ASSERT_EQ(net.NetUserGetInfo("\\PC01", "Administrator", info), NERR_Success);
    for (pid_t pid : net.helperProcesses())
        ::kill(pid, SIGKILL);
    std::this_thread::sleep_for(200ms);
    std::vector<LOCALGROUP_USERS_INFO_0> groups;
    EXPECT_EQ(net.NetUserGetLocalGroups("\\PC01", "Administrator", LG_INCLUDE_INDIRECT, groups), NERR_Success);
    EXPECT_FALSE(groups.empty());
}

} // namespace
} // namespace rm
