// The check of one computer, and the check step of a search: up to 512
// computers at once, its cancel, and a thread that cannot start.
#include "core/search/AccountCheck.h"
#include "core/search/Search.h"
#include "support/FakeSearchServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;

// Holds every lookup until released, one at a time or all at once.
class Gate {
public:
    void pass()
    {
        std::unique_lock lock(mutex_);
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return open_ || tickets_ > 0; });
        if (!open_)
            --tickets_;
        --waiting_;
    }
    void waitForWaiting(int n)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_ >= n; });
    }
    void releaseOne()
    {
        std::lock_guard lock(mutex_);
        ++tickets_;
        changed_.notify_all();
    }
    void openAll()
    {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int waiting_ = 0, tickets_ = 0;
    bool open_ = false;
};

class AccountCheckTest : public ::testing::Test {
protected:
    FakeSearchServices net;
    FakeNetwork& network = net.network;
    CancelToken cancel;
    Progress<SearchProgress> progress;

    ComputerCheck check(const std::string& computer, const std::string& account, AccountKind kind)
    {
        return checkComputer(network, ServerName(computer), account, kind, cancel);
    }
    // PC0..PC(n-1), each with the account; listed PC(n-1) on top.
    std::vector<std::string> servers(int n)
    {
        std::vector<std::string> names;
        for (int i = 0; i < n; ++i) {
            names.push_back("PC" + std::to_string(i));
            network.computers["\\\\" + names.back()].accounts["Administrator"] = {};
        }
        return names;
    }
    // A search over these computers, discovered and ready for its check.
    std::unique_ptr<Search> discovered(std::vector<std::string> names)
    {
        SearchRequest request;
        request.account = "Administrator";
        request.options.pingScan = false;
        request.computers = std::move(names);
        auto search = std::make_unique<Search>(std::move(request), net.services());
        search->discover(progress, cancel);
        return search;
    }
};

TEST_F(AccountCheckTest, UserModeClassification)
{
    FakeNetwork::Account& admin = network.computers["\\\\PC0"].accounts["Administrator"];
    admin = {false, 86400 * 3, 500, {"Administrators", "Backup Operators"}};
    network.computers["\\\\PC1"];                                 // no such account
    network.computers["\\\\PC2"].status = NetStatus::AccessDenied; // PC3 is unreachable

    const ComputerCheck found = check("PC0", "Administrator", AccountKind::User);
    EXPECT_FALSE(found.failed());
    EXPECT_EQ(found.accounts, (std::vector<AccountInfo>{
                                  {"Administrator", false, {"Administrators", "Backup Operators"}, 86400 * 3, 500}}));
    const ComputerCheck missing = check("\\\\PC1", "Administrator", AccountKind::User);
    EXPECT_FALSE(missing.matched() || missing.failed());
    const ComputerCheck refused = check("PC2", "Administrator", AccountKind::User);
    EXPECT_FALSE(refused.matched());
    EXPECT_EQ(refused.failure, NetStatus::AccessDenied);
    EXPECT_EQ(check("PC3", "Administrator", AccountKind::User).failure, NetStatus::BadNetPath);
    EXPECT_EQ(network.sessions, 4); // each check's calls share a session
}

TEST_F(AccountCheckTest, GroupModeCountsOnlyTheComputersOwnAccounts)
{
    auto& c1 = network.computers["\\\\PC1"];
    c1.accounts["alice"] = {true, 10, 1001, {"Staff"}};
    c1.accounts["bob"] = {false, 20, 1002, {}};
    // Lower case domain part still names this computer; others never do.
    c1.groupMembers["Staff"] = {"pc1\\alice", "LAB\\carol", "NT AUTHORITY\\Authenticated Users", "alice", "PC1\\bob"};
    network.computers["\\\\PC2"].groupMembers["Staff"] = {"LAB\\carol", "S-1-5-21-1-2-3-513"};
    auto& c3 = network.computers["\\\\PC3"];
    c3.accounts["dave"] = {};
    c3.accounts["erin"] = {true, 0, 1000, {}, NetStatus::AccessDenied};
    c3.groupMembers["Staff"] = {"PC3\\dave", "PC3\\erin"};
    network.computers["\\\\PC4"].groupMembers["Other"] = {"PC4\\x"};     // no such group here
    network.computers["\\\\PC5"].groupMembers["Staff"] = {"PC5\\ghost"}; // listed, but no such account

    const ComputerCheck one = check("PC1", "Staff", AccountKind::Group);
    EXPECT_EQ(one.accounts, (std::vector<AccountInfo>{{"alice", true, {"Staff"}, 10, 1001},
                                                      {"bob", false, {}, 20, 1002}}));
    EXPECT_FALSE(one.failed());
    const ComputerCheck two = check("PC2", "Staff", AccountKind::Group);
    EXPECT_FALSE(two.matched() || two.failed());
    const ComputerCheck three = check("PC3", "Staff", AccountKind::Group);
    ASSERT_EQ(three.accounts.size(), 1u); // dave counts, though erin's lookup failed
    EXPECT_EQ(three.accounts[0].user, "dave");
    EXPECT_EQ(three.failure, NetStatus::AccessDenied);
    for (const char* other : {"PC4", "PC5"}) {
        const ComputerCheck c = check(other, "Staff", AccountKind::Group);
        EXPECT_FALSE(c.matched() || c.failed()) << other;
    }
}

TEST_F(AccountCheckTest, NoComputersStartsNothing)
{
    auto search = discovered({});
    search->check(progress, cancel);
    EXPECT_EQ(search->outcome().state, SearchState::Checked);
    EXPECT_TRUE(search->outcome().rows.empty());
    EXPECT_EQ(search->outcome().counts, SearchCounts{});
    EXPECT_EQ(net.threads.started, 0);
}

TEST_F(AccountCheckTest, AtMost512RunAndTheNextInListOrderTakesAFreedSlot)
{
    Gate gate;
    std::mutex mutex;
    std::vector<std::string> lookedUp;
    network.onLookup = [&](const std::string& server) {
        {
            std::lock_guard lock(mutex);
            lookedUp.push_back(server);
        }
        gate.pass();
    };
    auto search = discovered(servers(515));
    std::thread checking([&] { search->check(progress, cancel); });
    gate.waitForWaiting(512);
    std::this_thread::sleep_for(100ms); // nothing more may start meanwhile
    EXPECT_EQ(network.lookups.load(), 512);
    const CheckProgress held = progress.value().check;
    EXPECT_EQ(held.done, 0u);
    EXPECT_EQ(held.total, 515u);
    {
        // The top 512 rows first: PC514 down to PC3.
        std::lock_guard lock(mutex);
        for (const char* later : {"\\\\PC2", "\\\\PC1", "\\\\PC0"})
            EXPECT_EQ(std::count(lookedUp.begin(), lookedUp.end(), later), 0) << later;
    }
    gate.releaseOne();
    gate.waitForWaiting(512); // the freed slot took the next row
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(network.lookups.load(), 513);
    {
        std::lock_guard lock(mutex);
        EXPECT_EQ(lookedUp.back(), "\\\\PC2");
    }
    gate.openAll();
    checking.join();

    EXPECT_EQ(network.lookups.load(), 515);
    EXPECT_EQ(network.peakRunning.load(), 512);
    const SearchOutcome& o = search->outcome();
    EXPECT_EQ(o.state, SearchState::Checked);
    ASSERT_EQ(o.rows.size(), 515u);
    for (const ComputerRow& row : o.rows)
        EXPECT_TRUE(row.account && row.account->enabled) << row.computer.name;
    EXPECT_EQ(progress.value().check.done, 515u);
}

TEST_F(AccountCheckTest, ACancelStartsNothingMoreAndLeavesTheList)
{
    Gate gate;
    network.onLookup = [&](const std::string&) { gate.pass(); };
    auto search = discovered(servers(600));
    const std::vector<ComputerRow> before = search->outcome().rows;
    std::atomic<bool> returned{false};
    std::thread checking([&] {
        search->check(progress, cancel);
        returned = true;
    });
    gate.waitForWaiting(512);
    cancel.cancel();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(returned); // the checks begun still run
    gate.openAll();
    checking.join();

    EXPECT_EQ(network.lookups.load(), 512);
    const SearchOutcome& o = search->outcome();
    EXPECT_EQ(o.state, SearchState::CheckCancelled);
    EXPECT_EQ(o.rows, before);
    EXPECT_TRUE(o.matched.empty() && o.dropped.empty());
    EXPECT_EQ(o.counts, (SearchCounts{600, 0, 0}));
}

TEST_F(AccountCheckTest, ChecksThatHaveNotMadeTheirFirstCallEndAtOnceOnCancel)
{
    // Every session waits, as for a computer that does not answer, until the
    // cancel; looking seldom, so 512 waiting threads leave the cores free.
    std::atomic<int> waiting{0};
    network.onSession = [&](const CancelToken* token) {
        ++waiting;
        while (!token->cancelled())
            std::this_thread::sleep_for(10ms);
    };
    auto search = discovered(servers(600));
    std::thread checking([&] { search->check(progress, cancel); });
    while (waiting < 512)
        std::this_thread::sleep_for(1ms);
    const auto cancelled = std::chrono::steady_clock::now();
    cancel.cancel();
    checking.join();
    // Ending 512 threads takes a while on two busy cores under the thread
    // sanitizer; a check that waited for a call limit would take 30 s.
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s);
    EXPECT_EQ(network.lookups.load(), 0);
    EXPECT_EQ(waiting.load(), 512);
}

TEST_F(AccountCheckTest, AThreadThatCannotStartIsAnEndedFailedCheck)
{
    net.threads.refused = -1;
    auto search = discovered(servers(3));
    search->check(progress, cancel);
    const SearchOutcome& o = search->outcome();
    EXPECT_TRUE(o.rows.empty());
    ASSERT_EQ(o.dropped.size(), 3u);
    for (const DroppedComputer& d : o.dropped) {
        EXPECT_EQ(d.reason, DropReason::CheckFailed);
        EXPECT_EQ(d.status, NetStatus::NotEnoughMemory);
    }
    EXPECT_EQ(o.counts, (SearchCounts{3, 3, 0}));
    EXPECT_EQ(progress.value().check.done, 3u);
    EXPECT_EQ(network.lookups.load(), 0);
}

} // namespace
} // namespace rm
