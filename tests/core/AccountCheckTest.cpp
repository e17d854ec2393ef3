#include "core/search/AccountSearch.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "support/FakeNetwork.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;

// Posts from the coordinator, read by the test: under a lock.
class LockedPoster : public Poster {
public:
    void post(int message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        std::lock_guard lock(mutex);
        posts.push_back({message, wParam, lParam});
        changed.notify_all();
    }
    void waitForEnd()
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return !posts.empty() && std::get<0>(posts.back()) == MessageFinished; });
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::tuple<int, std::uintptr_t, std::intptr_t>> posts;
};

class RefusingThreads : public ThreadStarter {
public:
    bool start(std::function<void()>, std::size_t, Priority) override { return false; }
};

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

class AccountSearchTest : public ::testing::Test {
protected:
    FakeNetwork network;
    LockedPoster poster;
    PosixThreadStarter threads;
    SteadyTickClock clock;

    std::vector<std::string> servers(int n)
    {
        std::vector<std::string> names;
        for (int i = 0; i < n; ++i) {
            names.push_back("\\\\PC" + std::to_string(i));
            network.computers[names.back()].accounts["Administrator"] = {};
        }
        return names;
    }
    std::unique_ptr<AccountSearch> search(std::vector<std::string> names, const std::string& account,
                                          ThreadStarter* starter = nullptr)
    {
        return std::make_unique<AccountSearch>(std::move(names), account,
                                               AccountSearch::Services{network, starter ? *starter : threads, clock});
    }
    int progressPosts()
    {
        std::lock_guard lock(poster.mutex);
        int n = 0;
        for (const auto& p : poster.posts)
            n += std::get<0>(p) == MessageProgress;
        return n;
    }
};

TEST_F(AccountSearchTest, NoComputersFinishesAtOnceWithoutProgress)
{
    auto s = search({}, "Administrator");
    s->start(poster);
    poster.waitForEnd();
    s->join();
    EXPECT_TRUE(s->isFinished());
    EXPECT_EQ(poster.posts.size(), 1u);
    EXPECT_TRUE(s->results().empty());
}

TEST_F(AccountSearchTest, AtMost512RunAndTheNextTakesAFreedSlot)
{
    Gate gate;
    network.onLookup = [&](const std::string&) { gate.pass(); };
    auto s = search(servers(515), "Administrator");
    s->start(poster);
    gate.waitForWaiting(512);
    std::this_thread::sleep_for(100ms); // several sweeps: nothing more may start
    EXPECT_EQ(network.lookups.load(), 512);
    gate.releaseOne();
    gate.waitForWaiting(512); // the freed slot took computer 513
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(network.lookups.load(), 513);
    gate.openAll();
    poster.waitForEnd();
    s->join();
    EXPECT_EQ(network.lookups.load(), 515);
    EXPECT_EQ(network.peakRunning.load(), 512);
    for (const auto& r : s->results()) {
        EXPECT_FALSE(r.notMatched);
        EXPECT_EQ(r.enabled, "Yes");
    }
    // Progress counts finished checks and ends with all of them.
    std::lock_guard lock(poster.mutex);
    const auto& last = poster.posts[poster.posts.size() - 2];
    EXPECT_EQ(std::get<0>(last), MessageProgress);
    EXPECT_EQ(std::get<1>(last), 515u);
    EXPECT_EQ(std::get<2>(last), 515);
    EXPECT_EQ(std::get<1>(poster.posts.front()), 0u); // the first sweep only starts checks
}

TEST_F(AccountSearchTest, CancelStartsNothingMoreAndFinishesLast)
{
    Gate gate;
    network.onLookup = [&](const std::string&) { gate.pass(); };
    auto s = search(servers(600), "Administrator");
    s->start(poster);
    gate.waitForWaiting(512);
    s->requestCancel();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(s->isFinished()); // checks still run
    gate.openAll();
    poster.waitForEnd();
    s->join();
    EXPECT_TRUE(s->isFinished());
    EXPECT_EQ(network.lookups.load(), 512);
    for (int i = 0; i < 600; ++i)
        EXPECT_EQ(s->results()[i].notMatched, false) << i; // written when run, untouched otherwise
    EXPECT_EQ(s->results()[511].enabled, "Yes");
    EXPECT_EQ(s->results()[512].enabled, "");
}

TEST_F(AccountSearchTest, ChecksThatHaveNotMadeTheirFirstCallEndAtOnceOnCancel)
{
    // Every hold waits, as for a computer that does not answer, until the cancel.
    std::atomic<int> waiting{0};
    network.onHold = [&](const std::atomic<bool>* cancel) {
        ++waiting;
        while (!cancel->load())
            std::this_thread::sleep_for(1ms);
    };
    auto s = search(servers(600), "Administrator");
    s->start(poster);
    while (waiting < 512)
        std::this_thread::sleep_for(1ms);
    const auto cancelled = std::chrono::steady_clock::now();
    s->requestCancel();
    poster.waitForEnd();
    s->join();
    // Ending 512 threads takes a while on two busy cores under the thread
    // sanitizer; a check that waited for a call limit would take 30 s.
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s);
    EXPECT_EQ(network.lookups.load(), 0);
    EXPECT_EQ(waiting.load(), 512);
}

TEST_F(AccountSearchTest, AThreadThatCannotStartIsAnEndedFailedCheck)
{
    RefusingThreads refusing;
    auto s = search(servers(3), "Administrator", &refusing);
    s->start(poster);
    poster.waitForEnd();
    s->join();
    for (const auto& r : s->results()) {
        EXPECT_TRUE(r.notMatched);
        EXPECT_TRUE(r.failed);
    }
    EXPECT_EQ(network.lookups.load(), 0);
}

TEST_F(AccountSearchTest, UserModeClassification)
{
    auto names = servers(4);
    network.computers[names[0]].accounts["Administrator"].flags |= UF_ACCOUNTDISABLE;
    network.computers[names[0]].accounts["Administrator"].passwordAge = 86400 * 3;
    network.computers[names[0]].accounts["Administrator"].groups = {"Administrators", "Backup Operators"};
    network.computers[names[1]].accounts.clear();         // 2221
    network.computers[names[2]].status = ERROR_ACCESS_DENIED;
    network.computers.erase(names[3]);                      // unreachable
    auto s = search(names, "Administrator");
    s->start(poster);
    poster.waitForEnd();
    s->join();
    const auto& r = s->results();
    EXPECT_FALSE(r[0].notMatched);
    EXPECT_FALSE(r[0].failed);
    EXPECT_EQ(r[0].enabled, "No");
    EXPECT_EQ(r[0].userName, "Administrator");
    EXPECT_EQ(r[0].localGroups, "Administrators, Backup Operators");
    EXPECT_EQ(r[0].passwordAge, 86400 * 3);
    EXPECT_TRUE(r[1].notMatched);
    EXPECT_FALSE(r[1].failed);
    EXPECT_TRUE(r[2].notMatched);
    EXPECT_TRUE(r[2].failed);
    EXPECT_TRUE(r[3].notMatched);
    EXPECT_TRUE(r[3].failed);
}

TEST_F(AccountSearchTest, GroupModeCountsOnlyTheComputersOwnAccounts)
{
    const std::string pc1 = "\\\\PC1", pc2 = "\\\\PC2", pc3 = "\\\\PC3", pc4 = "\\\\PC4", pc5 = "\\\\PC5";
    auto& c1 = network.computers[pc1];
    c1.accounts["alice"] = {UF_SCRIPT | UF_NORMAL_ACCOUNT, 10, {"Staff"}};
    c1.accounts["bob"] = {UF_SCRIPT | UF_NORMAL_ACCOUNT | UF_ACCOUNTDISABLE, 20, {}};
    // Lower case domain part still names this computer; others never do.
    c1.groupMembers["Staff"] = {"pc1\\alice", "LAB\\carol", "NT AUTHORITY\\Authenticated Users", "alice", "PC1\\bob"};
    network.computers[pc2].groupMembers["Staff"] = {"LAB\\carol", "S-1-5-21-1-2-3-513"};
    auto& c3 = network.computers[pc3];
    c3.accounts["dave"] = {};
    c3.accounts["erin"] = {UF_SCRIPT, 0, {}, ERROR_ACCESS_DENIED};
    c3.groupMembers["Staff"] = {"PC3\\dave", "PC3\\erin"};
    network.computers[pc4].groupMembers["Other"] = {"PC4\\x"}; // no such group here
    network.computers[pc5].groupMembers["Staff"] = {"PC5\\ghost"}; // listed, but no such account

    auto s = search({pc1, pc2, pc3, pc4, pc5}, "Staff");
    s->groupMode = true;
    s->start(poster);
    poster.waitForEnd();
    s->join();
    const auto& r = s->results();
    EXPECT_FALSE(r[0].notMatched);
    EXPECT_EQ(r[0].memberNames, (std::vector<std::string>{"alice", "bob"}));
    EXPECT_EQ(r[0].memberEnabled, (std::vector<std::string>{"Yes", "No"}));
    EXPECT_EQ(r[0].memberGroups, (std::vector<std::string>{"Staff", ""}));
    EXPECT_EQ(r[0].memberPasswordAges, (std::vector<std::int32_t>{10, 20}));
    EXPECT_EQ(r[0].userName, "bob"); // the last member looked up
    EXPECT_EQ(network.lookups.load() >= 2, true);
    EXPECT_TRUE(r[1].notMatched);
    EXPECT_FALSE(r[1].failed);
    EXPECT_FALSE(r[2].notMatched); // dave counts, though erin's lookup failed
    EXPECT_TRUE(r[2].failed);
    EXPECT_EQ(r[2].memberNames, std::vector<std::string>{"dave"});
    EXPECT_TRUE(r[3].notMatched);
    EXPECT_FALSE(r[3].failed);
    EXPECT_TRUE(r[4].notMatched);
    EXPECT_FALSE(r[4].failed);
}

} // namespace
} // namespace rm
