// The search of core over the real adapters against the lab: the rows and
// counts the manifest implies, the liveness step before the check, the
// browse list as the domain scan reads it, and silent computers that cost
// neither helpers nor a cancel's time.
#include "LabSupport.h"
#include "core/report/ComputerCells.h"
#include "core/search/DomainScan.h"
#include "core/search/Search.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <set>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

class SearchLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    LabSearchServices lab16{lab, helperSettings(16)};
    Progress<SearchProgress> progress;

    // Every member of the lab and the offline name.
    std::vector<std::string> everyComputer() const
    {
        std::vector<std::string> all;
        for (const json& m : lab.json["members"])
            all.push_back(m["name"]);
        all.push_back(lab.json["offline"]["name"]);
        return all;
    }
    SearchOutcome searchEvery(const std::string& account, AccountKind kind = AccountKind::User, bool ping = false)
    {
        SearchRequest r;
        r.account = account;
        r.kind = kind;
        r.options.pingScan = ping;
        r.computers = everyComputer();
        CancelToken cancel;
        return search(r, lab16.services(), progress, cancel);
    }
    std::string days() const
    {
        return std::to_string((std::time(nullptr) - LabManifest::readySeconds()) / 86400) + " days";
    }
};

TEST_F(SearchLabTest, UserModeFindsTheAccountWhereTheManifestHasIt)
{
    const SearchOutcome o = searchEvery("Administrator");
    std::map<std::string, ComputerCells> expected, rows;
    for (const json& m : lab.json["members"]) {
        if (m.value("refusesOperator", false))
            continue;
        for (const json& u : m["users"])
            if (u["name"] == "Administrator")
                expected[m["name"]] = {m["name"].get<std::string>(), "", "Administrator",
                                       yesNo(u["enabled"].get<bool>()),
                                       groupsText(u["groups"].get<std::vector<std::string>>()), days()};
    }
    for (const ComputerRow& r : o.rows) {
        rows[r.computer.name] = computerCells(r);
        ASSERT_TRUE(r.account);
        EXPECT_NE(r.account->rid, 0u);
    }
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(o.state, SearchState::Checked);
    EXPECT_EQ(o.counts.totalFound, static_cast<int>(everyComputer().size()));
    EXPECT_EQ(o.counts.offline, 2);  // the refusing member and the one that is not there
    EXPECT_EQ(o.counts.notExist, 2); // renamed and missing Administrator
}

TEST_F(SearchLabTest, PingScanningDropsTheOfflineComputerBeforeTheAccountCheck)
{
    const SearchOutcome o = searchEvery("Administrator", AccountKind::User, true);
    const SearchProgress p = progress.value();
    EXPECT_EQ(p.liveness.computers, everyComputer().size());
    EXPECT_EQ(p.check.total, everyComputer().size() - 1); // the offline one never checked
    EXPECT_EQ(p.check.done, p.check.total);
    ASSERT_FALSE(o.dropped.empty());
    EXPECT_EQ(o.dropped[0].computer.name, lab.json["offline"]["name"]); // the ping step's removals come first
    EXPECT_EQ(o.dropped[0].reason, DropReason::Offline);
    EXPECT_EQ(o.livenessFailure, LivenessFailure::None);
    EXPECT_EQ(o.counts.totalFound, static_cast<int>(everyComputer().size()));
    EXPECT_EQ(o.counts.offline, 2); // dropped by the ping step, and the refusing member
    EXPECT_EQ(o.counts.notExist, 2);
}

TEST_F(SearchLabTest, GroupsHeldOnlyThroughAGlobalGroupAreListed)
{
    const SearchOutcome o = searchEvery("staffer");
    ASSERT_EQ(o.rows.size(), 1u);
    EXPECT_EQ(o.rows[0].computer.name, "PC01");
    const json& staffer = lab.member("PC01")["users"][3];
    ASSERT_EQ(staffer["name"], "staffer");
    ASSERT_TRUE(staffer["directGroups"].empty());
    EXPECT_EQ(o.rows[0].account->groups, staffer["groups"].get<std::vector<std::string>>());
}

TEST_F(SearchLabTest, GroupModeGivesOneRowPerLocalMember)
{
    const SearchOutcome o = searchEvery("Helpdesk Operators", AccountKind::Group);
    std::multiset<std::pair<std::string, std::string>> expected, got;
    for (const json& m : lab.json["members"])
        for (const json& g : m["groups"])
            if (g["name"] == "Helpdesk Operators")
                for (const json& member : g["members"])
                    expected.insert({m["name"].get<std::string>(), member.get<std::string>()});
    for (const ComputerRow& r : o.rows)
        got.insert({r.computer.name, r.account->user});
    EXPECT_EQ(got, expected);
    // A group that cannot be read (refused, unreachable) has no members: counted empty, not offline.
    EXPECT_EQ(o.counts.offline, 0);
    std::set<std::string> matched;
    for (const auto& e : expected)
        matched.insert(e.first);
    EXPECT_EQ(o.counts.notExist, static_cast<int>(everyComputer().size() - matched.size()));

    // A group whose members are no local accounts is empty everywhere.
    const SearchOutcome none = searchEvery("Remote Staff", AccountKind::Group);
    EXPECT_EQ(none.state, SearchState::Checked);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_EQ(none.counts.notExist, static_cast<int>(everyComputer().size()));
}

TEST_F(SearchLabTest, TheDomainScanReadsTheBrowseList)
{
    CancelToken cancel;
    DomainScan scan(lab.json["domain"]["netbios"], SearchOptions{},
                    {lab16.network, lab16.identity, lab16.directory});
    scan.run(progress, cancel);
    std::set<std::string> listed, hidden, expected;
    for (const auto& c : scan.computers()) {
        if (c.type == "Unknown (Hidden)") {
            hidden.insert(c.name);
        } else {
            listed.insert(c.name);
            EXPECT_EQ(c.type.rfind("Server", 0), 0u) << c.name; // the members serve files
        }
    }
    for (const json& m : lab.json["members"])
        if (m["browse"] != "none")
            expected.insert(m["name"]);
    EXPECT_EQ(listed, expected);
    // This lab's controller is not in its browse list; the locator finds it
    // through the domain's DNS, and its machine accounts add the members the
    // list lacks.
    EXPECT_EQ(scan.notice(), DiscoveryNotice::None);
    for (const json& m : lab.json["members"]) {
        if (m["browse"] == "none") {
            EXPECT_TRUE(hidden.count(m["name"].get<std::string>())) << m["name"];
        }
    }
}

// The check over many names nobody answers.
class SilentComputersLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    Progress<SearchProgress> progress;

    static SearchRequest check(std::vector<std::string> computers)
    {
        SearchRequest r;
        r.account = "Administrator";
        r.options.pingScan = false;
        r.computers = std::move(computers);
        return r;
    }
    std::vector<std::string> unreachable(int count) const
    {
        std::vector<std::string> names;
        for (int i = 1; i <= count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%03d", lab.json["unreachable"]["namePrefix"].get<std::string>().c_str(),
                          i);
            names.push_back(name);
        }
        return names;
    }
};

TEST_F(SilentComputersLabTest, SilentAndUnreachableComputersHoldNoHelper)
{
    // Two helpers only: were each silent computer to hold one for the call
    // limit, this would take many minutes.
    LabSearchServices two(lab, {HELPER_PATH, 2, 2, 30000ms, 3000ms});
    std::vector<std::string> names(60, lab.json["blackhole"]["name"].get<std::string>());
    const auto gone = unreachable(60);
    names.insert(names.end(), gone.begin(), gone.end());
    names.push_back("PC01");
    CancelToken cancel;
    const auto started = std::chrono::steady_clock::now();
    const SearchOutcome o = search(check(names), two.services(), progress, cancel);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    EXPECT_EQ(o.matched, (std::vector<FoundComputer>{{"PC01", ""}}));
    ASSERT_EQ(o.dropped.size(), names.size() - 1);
    for (const DroppedComputer& d : o.dropped)
        EXPECT_TRUE(d.offline()) << d.computer.name << " " << statusNumber(d.status);
    EXPECT_EQ(o.counts.offline, static_cast<int>(names.size() - 1));
}

TEST_F(SilentComputersLabTest, ACancelEndsASearchOfSilentComputersWithinTwoSeconds)
{
    LabSearchServices many(lab, helperSettings(32));
    CancelToken cancel;
    std::atomic<bool> ended{false};
    SearchOutcome o;
    std::thread job([&] {
        o = search(check(std::vector<std::string>(700, lab.json["blackhole"]["name"])), many.services(), progress,
                   cancel);
        ended = true;
    });
    std::this_thread::sleep_for(1s);
    const auto cancelled = std::chrono::steady_clock::now();
    cancel.cancel();
    while (!ended && std::chrono::steady_clock::now() - cancelled < 30s)
        std::this_thread::sleep_for(5ms);
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s);
    job.join();
    EXPECT_EQ(o.state, SearchState::CheckCancelled);
}

TEST_F(SilentComputersLabTest, ASecondSearchAfterTheIdleHelpersWereKilled)
{
    LabSearchServices four(lab, helperSettings(4));
    for (int round = 0; round < 2; ++round) {
        CancelToken cancel;
        const SearchOutcome o = search(check({"PC01", "PC02", "PC01", "PC02"}), four.services(), progress, cancel);
        EXPECT_EQ(o.rows.size(), 4u) << "round " << round;
        EXPECT_TRUE(o.dropped.empty()) << "round " << round;
        // An out-of-memory killer, a crash, an administrator: every idle helper goes.
        const auto killed = four.network.helperProcesses();
        ASSERT_FALSE(killed.empty());
        for (pid_t pid : killed)
            ::kill(pid, SIGKILL);
        std::this_thread::sleep_for(200ms);
    }
    // And between two calls of one computer's check.
    const ServerName pc01("PC01");
    const auto session = four.network.openSession(pc01);
    UserAccount account;
    ASSERT_EQ(four.network.getUser(pc01, "Administrator", account), NetStatus::Success);
    for (pid_t pid : four.network.helperProcesses())
        ::kill(pid, SIGKILL);
    std::this_thread::sleep_for(200ms);
    std::vector<std::string> groups;
    EXPECT_EQ(four.network.userLocalGroups(pc01, "Administrator", groups), NetStatus::Success);
    EXPECT_FALSE(groups.empty());
}

} // namespace
} // namespace rm
