#include "core/batch/Batch.h"
#include "support/FakeNetwork.h"

#include <gtest/gtest.h>

#include <thread>

namespace rm {
namespace {

using Count = BatchCounts::Count;

constexpr std::time_t Confirmed = 1141567629;

class BatchTest : public ::testing::Test {
protected:
    FakeNetwork network;
    BatchRequest request;
    Progress<BatchCounts> progress;
    CancelToken cancel;

    void account(const std::string& computer, const std::string& user, bool enabled = true)
    {
        network.computers["\\\\" + computer].accounts[user].enabled = enabled;
    }
    void target(const std::string& computer, const std::string& user)
    {
        request.targets.push_back({computer, user, true, {"Users"}});
    }
    BatchOutcome run(NetworkManagement& net)
    {
        return apply(BatchPlan(std::move(request), {}), Confirmed, net, progress, cancel);
    }
    BatchOutcome run() { return run(network); }
};

TEST_F(BatchTest, EnableOnThreeComputersTheSecondUnreachable)
{
    account("PC1", "alice", false);
    account("PC3", "alice", false);
    for (const char* name : {"PC1", "PC2", "PC3"})
        target(name, "alice");
    request.enabledChoice = EnabledChoice::Enable;
    const BatchOutcome out = run();

    EXPECT_EQ(out.counts, (BatchCounts{{}, {}, {2, 1, 3}}));
    EXPECT_EQ(progress.value(), out.counts);
    EXPECT_FALSE(out.cancelled);
    EXPECT_EQ(out.enabledChoice, EnabledChoice::Enable);
    ASSERT_EQ(out.accounts.size(), 3u);
    EXPECT_TRUE(out.accounts[0].enable.succeeded());
    EXPECT_TRUE(out.accounts[1].enable.failed());
    EXPECT_EQ(out.accounts[1].enable.status, NetStatus::BadNetPath);
    EXPECT_TRUE(out.accounts[2].enable.succeeded());
    for (const AccountOutcome& a : out.accounts) {
        EXPECT_TRUE(a.processed);
        EXPECT_EQ(a.time, Confirmed);
        EXPECT_EQ(a.target.user, "alice");
        EXPECT_EQ(a.target.groups, std::vector<std::string>{"Users"});
        EXPECT_TRUE(a.enable.requested);
        EXPECT_FALSE(a.password.requested || a.password.attempted || a.rename.requested || a.rename.attempted);
    }
    EXPECT_TRUE(network.computers["\\\\PC1"].accounts["alice"].enabled);
    EXPECT_TRUE(network.computers["\\\\PC3"].accounts["alice"].enabled);
}

TEST_F(BatchTest, PasswordThenEnabledStateThenRenameAndAFailureSkipsNothing)
{
    account("PC1", "carol");
    network.changeStatus["\\\\PC1"] = NetStatus::PasswordTooShort;
    account("PC2", "carol");
    account("PC2", "taken");
    account("PC3", "carol");
    for (const char* name : {"\\\\PC1", "PC2", "PC3"})
        target(name, "carol");
    request.changePassword = true;
    request.password = Secret(std::string("Pa55"));
    request.enabledChoice = EnabledChoice::Disable;
    request.rename = true;
    request.newName = "taken";
    const BatchOutcome out = run();

    // A name with two backslashes is used as it is; the old name is used
    // until the rename, which comes last.
    std::vector<std::string> expected;
    for (const char* server : {"\\\\PC1", "\\\\PC2", "\\\\PC3"})
        for (const char* change : {" carol password", " carol enabled 0", " carol rename taken"})
            expected.push_back(server + std::string(change));
    EXPECT_EQ(network.changes, expected);
    const auto& a = out.accounts;
    ASSERT_EQ(a.size(), 3u);
    for (const ActionOutcome* action : {&a[0].password, &a[0].enable, &a[0].rename})
        EXPECT_EQ(action->status, NetStatus::PasswordTooShort);
    EXPECT_TRUE(a[1].password.succeeded() && a[1].enable.succeeded());
    EXPECT_EQ(network.passwords["\\\\PC2 carol"], "Pa55");
    EXPECT_TRUE(a[1].rename.failed());
    EXPECT_EQ(a[1].rename.status, NetStatus::AccountExists);
    // Seen under the new name once renamed.
    EXPECT_TRUE(a[2].rename.succeeded());
    EXPECT_EQ(network.computers["\\\\PC3"].accounts.count("taken"), 1u);
    EXPECT_EQ(network.computers["\\\\PC3"].accounts.count("carol"), 0u);
    EXPECT_FALSE(network.computers["\\\\PC3"].accounts["taken"].enabled);
    EXPECT_EQ(out.counts, (BatchCounts{{1, 2, 3}, {2, 1, 3}, {2, 1, 3}}));
    EXPECT_EQ(out.counts.failed(), 4);
    EXPECT_EQ(progress.value(), out.counts);
    EXPECT_EQ(out.newName, "taken");
}

// Refuses every change of the enabled state, as a computer that will not
// let the account's flags be read.
class NoEnabledState : public FakeNetwork {
public:
    NetStatus setEnabled(const ServerName&, const std::string&, bool) override { return NetStatus::AccessDenied; }
};

TEST_F(BatchTest, AFailedEnabledStateFailsThatActionOnly)
{
    NoEnabledState refusing;
    refusing.computers["\\\\PC1"].accounts["bob"] = {};
    target("PC1", "bob");
    request.changePassword = true;
    request.password = Secret(std::string("pw"));
    request.enabledChoice = EnabledChoice::Enable;
    const BatchOutcome out = run(refusing);
    EXPECT_EQ(refusing.changes, std::vector<std::string>{"\\\\PC1 bob password"});
    EXPECT_TRUE(out.accounts[0].password.succeeded());
    EXPECT_EQ(out.accounts[0].enable.status, NetStatus::AccessDenied);
    EXPECT_EQ(out.counts, (BatchCounts{{}, {1, 0, 1}, {0, 1, 1}}));
}

TEST_F(BatchTest, ACancelCompletesTheCurrentAccountAndLeavesTheRest)
{
    std::atomic<bool> inSecond{false}, release{false};
    std::vector<const CancelToken*> sessionCancels;
    network.onSession = [&](const CancelToken* token) { sessionCancels.push_back(token); };
    BatchCounts whenHeld;
    network.onChange = [&](const std::string& server) {
        if (server != "\\\\PC2" || inSecond.exchange(true))
            return;
        whenHeld = progress.value();
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "PC" + std::to_string(i);
        account(name, "gina");
        target(name, "gina");
    }
    request.changePassword = true;
    request.password = Secret(std::string("x"));
    request.enabledChoice = EnabledChoice::Disable;
    BatchOutcome out;
    std::thread batch([&] { out = run(); });
    while (!inSecond)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    cancel.cancel();
    release = true;
    batch.join();

    EXPECT_TRUE(out.cancelled);
    EXPECT_EQ(whenHeld, (BatchCounts{{}, {1, 0, 1}, {1, 0, 1}}));
    const auto& a = out.accounts;
    ASSERT_EQ(a.size(), 5u); // every selected account has its outcome, reached or not
    EXPECT_TRUE(a[0].processed && a[1].processed);
    // The second account's calls all went through, though the cancel came first.
    EXPECT_TRUE(a[1].password.succeeded() && a[1].enable.succeeded());
    for (std::size_t i = 2; i < a.size(); ++i) {
        EXPECT_FALSE(a[i].processed);
        EXPECT_TRUE(a[i].password.requested && a[i].enable.requested);
        EXPECT_FALSE(a[i].password.attempted || a[i].enable.attempted);
    }
    EXPECT_EQ(network.changes.size(), 4u);
    EXPECT_EQ(out.counts, (BatchCounts{{}, {2, 0, 2}, {2, 0, 2}}));
    // A session given the cancel would fail the rest of the second account's calls.
    EXPECT_EQ(sessionCancels, (std::vector<const CancelToken*>{nullptr, nullptr}));
}

TEST_F(BatchTest, ACancelBeforeTheFirstAccountDoesNothing)
{
    account("PC1", "hal");
    target("PC1", "hal");
    request.enabledChoice = EnabledChoice::Disable;
    cancel.cancel();
    const BatchOutcome out = run();
    EXPECT_TRUE(out.cancelled);
    EXPECT_FALSE(out.accounts.at(0).processed);
    EXPECT_TRUE(network.changes.empty());
    EXPECT_EQ(network.sessions, 0);
}

} // namespace
} // namespace rm
