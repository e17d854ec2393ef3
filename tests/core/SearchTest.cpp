// A whole search over doubles: the list's order after each step, what each
// liveness mode drops, the rows of a group's members, the results dialog's
// lists and counts, and why each computer left; the built-in administrator
// found under each computer's name and renamed by a batch over those rows.
#include "core/batch/Batch.h"
#include "core/search/Search.h"
#include "support/FakeSearchServices.h"

#include <gtest/gtest.h>

#include <map>

namespace rm {
namespace {

class SearchTest : public ::testing::Test {
protected:
    FakeSearchServices net;
    SearchRequest request;
    Progress<SearchProgress> progress;
    CancelToken cancel;

    void SetUp() override
    {
        net.identity.flat = "LAB";
        net.identity.dns = "lab.example";
        request.account = "Administrator";
        request.options.domain = "lab.example";
        request.options.scanHidden = false;
        request.options.pingScan = false;
    }
    // The browse list's computers in the order it gives them: servers and
    // workstations by turns. Each has an address; those given answer pings.
    void found(std::initializer_list<const char*> names, std::initializer_list<const char*> answering = {})
    {
        for (const char* name : names) {
            const bool server = net.network.browseEntries.size() % 2 == 0;
            net.network.browseEntries.push_back({name, server ? BrowseType::ServerNt : BrowseType::Nt, 5, 0});
            const auto address = static_cast<std::uint32_t>(net.resolver.addresses.size() + 1);
            net.resolver.addresses[name] = address;
            for (const char* a : answering)
                if (std::string(a) == name)
                    net.icmp.answering.push_back(address);
        }
    }
    static FoundComputer server(const std::string& name) { return {name, "Server (Win2K)"}; }
    static FoundComputer workstation(const std::string& name) { return {name, "Workstation (Win2K)"}; }
    FakeNetwork::Account& holding(const std::string& computer, const std::string& user = "Administrator")
    {
        return net.network.computers["\\\\" + computer].accounts[user];
    }
    SearchOutcome run() { return search(std::move(request), net.services(), progress, cancel); }
    static std::vector<std::string> names(const std::vector<ComputerRow>& rows)
    {
        std::vector<std::string> n;
        for (const ComputerRow& r : rows)
            n.push_back(r.computer.name + (r.account ? " " + r.account->user : ""));
        return n;
    }
    static std::vector<std::string> names(const std::vector<DroppedComputer>& dropped)
    {
        std::vector<std::string> n;
        for (const DroppedComputer& d : dropped)
            n.push_back(d.computer.name);
        return n;
    }
};

TEST_F(SearchTest, TheLastFoundIsListedOnTop)
{
    request.options.scanHidden = true; // with no controller to ask
    found({"P", "Q", "R"});
    Search s(std::move(request), net.services());
    s.discover(progress, cancel);
    const SearchOutcome& o = s.outcome();
    EXPECT_EQ(o.state, SearchState::Discovered);
    EXPECT_EQ(o.discovered, (std::vector<FoundComputer>{server("P"), workstation("Q"), server("R")}));
    EXPECT_EQ(o.rows, (std::vector<ComputerRow>{{server("R"), std::nullopt},
                                                {workstation("Q"), std::nullopt},
                                                {server("P"), std::nullopt}}));
    EXPECT_EQ(o.counts, (SearchCounts{3, 0, 0}));
    EXPECT_EQ(o.discoveryNotice, DiscoveryNotice::NoControllerForHidden);
    EXPECT_EQ(net.network.enumeratedDomains, std::vector<std::string>{"LAB"});
    EXPECT_FALSE(s.wantsLiveness()); // not asked for
}

TEST_F(SearchTest, UserModeKeepsTheMatchedRowsAndListsBothSidesBottomUp)
{
    found({"P", "Q", "R", "\\\\S"}); // listed \\S, R, Q, P
    holding("S") = {true, 86400 * 2 + 5, 500, {"Administrators"}}; // not prefixed twice
    holding("P") = {false, 86399, 501, {}};
    net.network.computers["\\\\Q"].status = NetStatus::AccessDenied;
    net.network.computers["\\\\R"]; // no such account
    const SearchOutcome o = run();
    EXPECT_EQ(o.state, SearchState::Checked);
    const AccountInfo onS{"Administrator", true, {"Administrators"}, 86400 * 2 + 5, 500};
    EXPECT_EQ(o.rows, (std::vector<ComputerRow>{{workstation("\\\\S"), onS},
                                                {server("P"), AccountInfo{"Administrator", false, {}, 86399, 501}}}));
    EXPECT_EQ(o.matched, (std::vector<FoundComputer>{server("P"), workstation("\\\\S")}));
    EXPECT_EQ(o.dropped,
              (std::vector<DroppedComputer>{{workstation("Q"), DropReason::AccessDenied, NetStatus::AccessDenied},
                                            {server("R"), DropReason::NotFound, NetStatus::Success}}));
    EXPECT_EQ(o.counts, (SearchCounts{4, 1, 1}));
    EXPECT_EQ(o.counts.matched(), 2);
}

TEST_F(SearchTest, GroupMembersAreListedFirstThenLastBackToSecond)
{
    request.kind = AccountKind::Group;
    request.account = "Staff";
    found({"P", "Q", "R"}); // listed R, Q, P
    auto& q = net.network.computers["\\\\Q"];
    q.groupMembers["Staff"] = {"Q\\M0", "Q\\M1", "Q\\M2"};
    for (const char* m : {"M0", "M1", "M2"})
        holding("Q", m);
    holding("Q", "M1").enabled = false;
    holding("Q", "M2").passwordAge = 2 * 86400;
    // One member found, one lookup failed: matched, yet counted offline.
    auto& r = net.network.computers["\\\\R"];
    r.groupMembers["Staff"] = {"R\\dave", "R\\erin"};
    holding("R", "dave");
    holding("R", "erin").status = NetStatus::AccessDenied;
    net.network.computers["\\\\P"]; // no such group
    const SearchOutcome o = run();
    EXPECT_EQ(names(o.rows), (std::vector<std::string>{"R dave", "Q M0", "Q M2", "Q M1"}));
    // Each row carries its own member's account.
    EXPECT_EQ(o.rows[2].account->passwordAgeSeconds, 2 * 86400);
    EXPECT_FALSE(o.rows[3].account->enabled);
    EXPECT_EQ(o.matched, (std::vector<FoundComputer>{workstation("Q"), server("R")}));
    EXPECT_EQ(o.dropped, (std::vector<DroppedComputer>{{server("P"), DropReason::NotFound, NetStatus::Success}}));
    EXPECT_EQ(o.counts, (SearchCounts{3, 1, 0}));
    EXPECT_EQ(o.counts.matched(), 2);
}

TEST_F(SearchTest, TheBuiltinAdministratorGoesByEachComputersNameAndABatchGivesThemOne)
{
    request.kind = AccountKind::BuiltinAdministrator;
    found({"P", "Q", "R"}); // listed R, Q, P
    holding("P", "Verwalter") = {true, 86400, 500, {"Administratoren"}};
    holding("Q", "LocalBoss") = {false, 7, 500, {"Administrators"}};
    holding("Q", "Administrator") = {true, 0, 1001, {"Users"}};         // the usual name, not the account
    holding("R", "Administrator") = {true, 0, 1000, {"Administrators"}}; // no identifier 500 here
    const SearchOutcome o = run();
    // Each row's groups were asked for under that computer's name.
    EXPECT_EQ(o.rows, (std::vector<ComputerRow>{
                          {workstation("Q"), AccountInfo{"LocalBoss", false, {"Administrators"}, 7, 500}},
                          {server("P"), AccountInfo{"Verwalter", true, {"Administratoren"}, 86400, 500}}}));
    EXPECT_EQ(o.dropped, (std::vector<DroppedComputer>{{server("R"), DropReason::NotFound, NetStatus::Success}}));
    EXPECT_EQ(o.counts, (SearchCounts{3, 0, 1}));

    // The rows as a face makes them targets.
    BatchRequest batch;
    for (const ComputerRow& r : o.rows)
        batch.targets.push_back({r.computer.name, r.account->user, r.account->enabled, r.account->groups});
    batch.rename = true;
    batch.newName = "LocalAdmin";
    auto planned = plan(std::move(batch));
    ASSERT_TRUE(std::holds_alternative<BatchPlan>(planned));
    Progress<BatchCounts> batchProgress;
    const BatchOutcome done = apply(std::get<BatchPlan>(planned), 0, net.network, batchProgress, cancel);
    EXPECT_EQ(done.counts.rename, (BatchCounts::Count{2, 0, 2}));
    EXPECT_EQ(net.network.changes,
              (std::vector<std::string>{"\\\\Q LocalBoss rename LocalAdmin", "\\\\P Verwalter rename LocalAdmin"}));
    for (const char* computer : {"P", "Q"}) {
        const auto& accounts = net.network.computers[std::string("\\\\") + computer].accounts;
        ASSERT_EQ(accounts.count("LocalAdmin"), 1u) << computer;
        EXPECT_EQ(accounts.at("LocalAdmin").rid, 500u);
    }
    EXPECT_EQ(net.network.computers["\\\\Q"].accounts.count("LocalBoss"), 0u);
    EXPECT_EQ(net.network.computers["\\\\P"].accounts.count("Verwalter"), 0u);
}

TEST_F(SearchTest, NothingFoundDropsEveryComputerAndTheNameIsSearchedAsTyped)
{
    request.account = "  ";
    found({"P", "Q", "R"});
    holding("P");
    holding("Q");
    holding("R", "Administrator ");
    const SearchOutcome o = run();
    EXPECT_TRUE(o.rows.empty());
    EXPECT_TRUE(o.matched.empty());
    EXPECT_EQ(names(o.dropped), (std::vector<std::string>{"P", "Q", "R"}));
    EXPECT_EQ(o.counts, (SearchCounts{3, 0, 3}));

    request = {};
    SetUp();
    request.account = "  ";
    holding("Q", "  ");
    EXPECT_EQ(names(run().rows), std::vector<std::string>{"Q   "});
}

TEST_F(SearchTest, NothingDiscoveredEndsAfterTheDiscovery)
{
    request.options.pingScan = true;
    const SearchOutcome o = run();
    EXPECT_EQ(o.state, SearchState::Discovered);
    EXPECT_EQ(o.counts, SearchCounts{});
    EXPECT_EQ(net.icmp.opened, 0);
    EXPECT_EQ(net.network.sessions, 0);
}

TEST_F(SearchTest, TheLivenessStepTakesTheFirstRowFromTheTopIgnoringCase)
{
    request.options.pingScan = true;
    // Listed PC, Q, pc: "pc" and Q are silent, "PC" answers.
    found({"pc", "Q", "PC"}, {"PC"});
    holding("pc");
    holding("PC");
    Search s(std::move(request), net.services());
    s.discover(progress, cancel);
    ASSERT_TRUE(s.wantsLiveness());
    s.dropSilent(progress, cancel);
    const SearchOutcome& o = s.outcome();
    EXPECT_EQ(o.state, SearchState::LivenessChecked);
    EXPECT_EQ(o.rows, (std::vector<ComputerRow>{{server("pc"), std::nullopt}}));
    EXPECT_EQ(o.dropped, (std::vector<DroppedComputer>{{server("PC"), DropReason::Offline},
                                                       {workstation("Q"), DropReason::Offline}}));
    s.check(progress, cancel);
    EXPECT_EQ(names(o.rows), std::vector<std::string>{"pc Administrator"});
    EXPECT_EQ(o.counts, (SearchCounts{3, 2, 0}));
    EXPECT_EQ(net.network.lookups, 1);
}

TEST_F(SearchTest, ALivenessStepThatCannotRunRemovesNothing)
{
    request.options.pingScan = true;
    found({"P", "Q", "R"});
    holding("R");
    net.icmp.refuse = true;
    const SearchOutcome o = run();
    EXPECT_EQ(o.livenessFailure, LivenessFailure::NoIcmpSocket);
    EXPECT_EQ(names(o.rows), std::vector<std::string>{"R Administrator"});
    EXPECT_EQ(o.counts, (SearchCounts{3, 2, 0})); // P and Q could not be reached
}

TEST_F(SearchTest, WithEveryComputerSilentTheCheckRunsOverNothing)
{
    request.options.pingScan = true;
    found({"P", "Q", "R"});
    holding("R");
    const SearchOutcome o = run();
    EXPECT_EQ(o.state, SearchState::Checked);
    EXPECT_TRUE(o.rows.empty());
    EXPECT_EQ(names(o.dropped), (std::vector<std::string>{"P", "Q", "R"}));
    EXPECT_EQ(o.counts, (SearchCounts{3, 3, 0}));
    EXPECT_EQ(net.network.lookups, 0);
}

// PC01 has the account; PC02 lacks it; PC03 refuses; PC05's check finds no
// path; PC04 and PC06 do not answer pings, PC04 takes connections.
class LivenessModesTest : public SearchTest {
protected:
    void SetUp() override
    {
        SearchTest::SetUp();
        request.options.pingScan = true;
        found({"PC01", "PC02", "PC03", "PC04", "PC05", "PC06"}, {"PC01", "PC02", "PC03", "PC05"});
        FakeNetwork::Account& admin = holding("PC01");
        admin = {true, 3 * 86400 + 5, 500, {"Administrators"}};
        holding("PC04") = admin;
        net.network.computers["\\\\PC02"];
        net.network.computers["\\\\PC03"].status = NetStatus::AccessDenied;
        net.network.computers["\\\\PC05"].status = NetStatus::BadNetPath;
        net.probe.open = {"PC01", "PC02", "PC03", "PC04", "PC05"};
    }
    using Reasons = std::map<std::string, std::pair<DropReason, NetStatus>>;
    Reasons searchReasons(Liveness mode)
    {
        request.liveness = mode;
        outcome = run();
        Reasons reasons;
        for (const DroppedComputer& d : outcome.dropped)
            reasons[d.computer.name] = {d.reason, d.status};
        return reasons;
    }
    SearchOutcome outcome;
};

constexpr auto Offline = std::pair{DropReason::Offline, NetStatus::Success};

TEST_F(LivenessModesTest, PingDropsWhatDoesNotAnswerPings)
{
    const std::uint32_t before = net.clock.now();
    EXPECT_EQ(searchReasons(Liveness::Ping),
              (Reasons{{"PC02", {DropReason::NotFound, NetStatus::Success}},
                       {"PC03", {DropReason::AccessDenied, NetStatus::AccessDenied}},
                       {"PC04", Offline},
                       {"PC05", {DropReason::Unreachable, NetStatus::BadNetPath}},
                       {"PC06", Offline}}));
    EXPECT_EQ(outcome.rows,
              (std::vector<ComputerRow>{
                  {server("PC01"), AccountInfo{"Administrator", true, {"Administrators"}, 3 * 86400 + 5, 500}}}));
    // Dropped by the step first, in the order found; then by the check, bottom up.
    EXPECT_EQ(names(outcome.dropped), (std::vector<std::string>{"PC04", "PC06", "PC02", "PC03", "PC05"}));
    EXPECT_EQ(outcome.counts, (SearchCounts{6, 4, 1})); // ping, refusal and no path together
    EXPECT_EQ(net.probe.probes, 0);
    // Only the pings took time on the manual clock.
    EXPECT_GT(outcome.times.liveness, 0u);
    EXPECT_EQ(outcome.times.liveness, net.clock.now() - before);
    EXPECT_EQ(outcome.times.discovery + outcome.times.check, 0u);
}

TEST_F(LivenessModesTest, PortDropsWhatTakesNoConnection)
{
    const Reasons reasons = searchReasons(Liveness::Port);
    EXPECT_EQ(reasons.at("PC06"), Offline);
    EXPECT_EQ(reasons.count("PC04"), 0u); // drops pings, takes connections
    EXPECT_EQ(outcome.matched, (std::vector<FoundComputer>{server("PC01"), workstation("PC04")}));
    EXPECT_EQ(net.icmp.opened, 0); // no ping at all
}

TEST_F(LivenessModesTest, PingOrPortKeepsWhatAnswersEither)
{
    net.probe.open.erase("PC02"); // answers pings only
    const Reasons reasons = searchReasons(Liveness::PingOrPort);
    EXPECT_EQ(reasons.at("PC06"), Offline);
    EXPECT_EQ(reasons.at("PC02").first, DropReason::NotFound); // kept by its ping
    EXPECT_EQ(reasons.count("PC04"), 0u);                       // kept by its port
    EXPECT_EQ(outcome.matched.size(), 2u);
    EXPECT_EQ(outcome.counts, (SearchCounts{6, 3, 1}));
}

TEST_F(LivenessModesTest, PingOrPortWithoutPingsLetsThePortDecide)
{
    net.icmp.refuse = true;
    const Reasons reasons = searchReasons(Liveness::PingOrPort);
    EXPECT_EQ(outcome.livenessFailure, LivenessFailure::NoIcmpSocket);
    EXPECT_EQ(reasons.at("PC06"), Offline);
    EXPECT_EQ(reasons.count("PC04"), 0u);
}

} // namespace
} // namespace rm
