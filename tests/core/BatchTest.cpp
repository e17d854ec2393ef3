#include "core/batch/OperationWorker.h"
#include "support/Doubles.h"
#include "support/FakeNetwork.h"

#include <gtest/gtest.h>

#include <thread>

namespace rm {
namespace {

using Computer = FakeNetwork::Computer;
using Account = FakeNetwork::Account;

class OperationWorkerTest : public ::testing::Test {
protected:
    FakeNetwork network;
    RecordingPoster window;
    std::vector<AccountOperation> ops;

    AccountOperation& add(const std::string& computer, const std::string& user)
    {
        AccountOperation& op = ops.emplace_back();
        op.computerName = computer;
        op.rowIndex = static_cast<int>(ops.size()) - 1;
        op.userName = user;
        return op;
    }
    void computer(const std::string& name, std::map<std::string, Account> accounts)
    {
        network.computers["\\\\" + name] = Computer{NERR_Success, std::move(accounts), {}};
    }
    void runBatch(OperationWorker& worker)
    {
        worker.start(window);
        worker.join();
    }
    static std::vector<std::int32_t> counts(const OperationCounters& c)
    {
        return {c.renameTotal, c.renameSucceeded, c.renameFailed, c.passwordTotal, c.passwordSucceeded,
                c.passwordFailed, c.enableTotal, c.enableSucceeded, c.enableFailed};
    }
    int posted(int message) const
    {
        int n = 0;
        for (const auto& p : window.posts)
            n += p.message == message;
        return n;
    }
};

TEST_F(OperationWorkerTest, EnableOnThreeComputersTheSecondUnreachable)
{
    const std::uint32_t disabled = UF_SCRIPT | UF_NORMAL_ACCOUNT | UF_DONT_EXPIRE_PASSWD | UF_ACCOUNTDISABLE;
    computer("PC1", {{"alice", FakeNetwork::flagged(disabled)}});
    computer("PC3", {{"alice", FakeNetwork::flagged(disabled | UF_PASSWD_NOTREQD)}});
    for (const char* name : {"PC1", "PC2", "PC3"}) {
        AccountOperation& op = add(name, "alice");
        op.enableRequested = true;
        op.enable = true;
    }
    OperationWorker worker(ops, network);
    runBatch(worker);

    EXPECT_EQ(counts(worker.counters()), (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 3, 2, 1}));
    // Only the disabled bit changed; everything else went back as read.
    EXPECT_EQ(network.computers["\\\\PC1"].accounts["alice"].flags, disabled & ~UF_ACCOUNTDISABLE);
    EXPECT_EQ(network.computers["\\\\PC3"].accounts["alice"].flags,
              (disabled | UF_PASSWD_NOTREQD) & ~UF_ACCOUNTDISABLE);
    EXPECT_TRUE(ops[0].enableSucceeded);
    EXPECT_FALSE(ops[1].enableSucceeded);
    EXPECT_EQ(ops[1].enableError, "ERROR: Unknown error (53)");
    EXPECT_TRUE(ops[2].enableSucceeded);
    for (const AccountOperation& op : ops) {
        EXPECT_TRUE(op.processed);
        EXPECT_FALSE(op.passwordSucceeded || op.renameSucceeded);
        EXPECT_TRUE(op.passwordError.empty() && op.renameError.empty());
    }
    // The unreachable computer's flags were never set.
    EXPECT_EQ(network.changes, (std::vector<std::string>{"\\\\PC1 alice 1008 66049", "\\\\PC3 alice 1008 66081"}));
    EXPECT_EQ(posted(MessageProgress), 3);
    EXPECT_EQ(posted(MessageFinished), 1);
    EXPECT_EQ(window.posts.back().message, MessageFinished);
    EXPECT_TRUE(worker.isFinished());
}

TEST_F(OperationWorkerTest, DisablingADisabledAccountSetsTheFlagsAnywayAndSucceeds)
{
    const std::uint32_t disabled = UF_SCRIPT | UF_NORMAL_ACCOUNT | UF_ACCOUNTDISABLE;
    computer("PC1", {{"bob", FakeNetwork::flagged(disabled)}});
    AccountOperation& op = add("PC1", "bob");
    op.enableRequested = true;
    op.enable = false;
    OperationWorker worker(ops, network);
    runBatch(worker);
    EXPECT_EQ(network.changes, std::vector<std::string>{"\\\\PC1 bob 1008 515"});
    EXPECT_TRUE(ops[0].enableSucceeded);
    EXPECT_EQ(counts(worker.counters()), (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 1, 1, 0}));
}

TEST_F(OperationWorkerTest, AFailedFlagReadMakesNoSetAndFailsTheEnableOnly)
{
    Account locked;
    locked.status = ERROR_ACCESS_DENIED; // the read fails
    computer("PC1", {{"bob", locked}});
    AccountOperation& op = add("PC1", "bob");
    op.enableRequested = true;
    op.passwordRequested = true;
    op.password = "pw";
    OperationWorker worker(ops, network);
    runBatch(worker);
    EXPECT_EQ(network.changes, std::vector<std::string>{"\\\\PC1 bob 1003"});
    EXPECT_TRUE(ops[0].passwordSucceeded);
    EXPECT_FALSE(ops[0].enableSucceeded);
    EXPECT_EQ(ops[0].enableError, "ERROR: The user does not have access to the requested information.");
    EXPECT_EQ(counts(worker.counters()), (std::vector<std::int32_t>{0, 0, 0, 1, 1, 0, 1, 0, 1}));
}

TEST_F(OperationWorkerTest, PasswordThenEnabledStateThenRenameAndAFailureSkipsNothing)
{
    computer("PC1", {{"carol", FakeNetwork::flagged(UF_NORMAL_ACCOUNT)}});
    network.changeStatus["\\\\PC1"] = NERR_PasswordTooShort;
    computer("PC2", {{"carol", FakeNetwork::flagged(UF_NORMAL_ACCOUNT)}, {"taken", {}}});
    for (const char* name : {"\\\\PC1", "PC2"}) {
        AccountOperation& op = add(name, "carol");
        op.passwordRequested = op.enableRequested = op.renameRequested = true;
        op.password = "Pa55";
        op.enable = false;
        op.newUserName = name == std::string("PC2") ? "taken" : "dave";
    }
    OperationWorker worker(ops, network);
    runBatch(worker);

    // A name with two backslashes is used as it is; the old name is used
    // until the rename, which comes last.
    EXPECT_EQ(network.changes, (std::vector<std::string>{
                                   "\\\\PC1 carol 1003", "\\\\PC1 carol 1008 514", "\\\\PC1 carol 0 dave",
                                   "\\\\PC2 carol 1003", "\\\\PC2 carol 1008 514", "\\\\PC2 carol 0 taken"}));
    const std::string tooShort = "ERROR: The password is shorter than required. (The password could also be too "
                                 "long, be too recent in its change history, not have enough unique characters, or "
                                 "not meet another password policy requirement.)";
    EXPECT_EQ(ops[0].passwordError, tooShort);
    EXPECT_EQ(ops[0].enableError, tooShort);
    EXPECT_EQ(ops[0].renameError, tooShort);
    EXPECT_TRUE(ops[1].passwordSucceeded);
    EXPECT_EQ(network.passwords["\\\\PC2 carol"], "Pa55");
    EXPECT_TRUE(ops[1].enableSucceeded);
    EXPECT_FALSE(ops[1].renameSucceeded);
    EXPECT_EQ(ops[1].renameError, "ERROR: An account with the new name already exists");
    EXPECT_EQ(counts(worker.counters()), (std::vector<std::int32_t>{2, 0, 2, 2, 1, 1, 2, 1, 1}));
    EXPECT_EQ(posted(MessageProgress), 6);
}

TEST_F(OperationWorkerTest, ARenameIsSeenUnderTheNewName)
{
    computer("PC1", {{"erin", {}}});
    AccountOperation& op = add("PC1", "erin");
    op.renameRequested = true;
    op.newUserName = "frank";
    OperationWorker worker(ops, network);
    runBatch(worker);
    EXPECT_TRUE(ops[0].renameSucceeded);
    EXPECT_TRUE(ops[0].renameError.empty());
    EXPECT_EQ(network.computers["\\\\PC1"].accounts.count("frank"), 1u);
    EXPECT_EQ(network.computers["\\\\PC1"].accounts.count("erin"), 0u);
}

TEST_F(OperationWorkerTest, ACancelCompletesTheCurrentComputerAndLeavesTheRest)
{
    std::atomic<bool> inSecond{false}, release{false};
    std::vector<const std::atomic<bool>*> holdCancels;
    network.onHold = [&](const std::atomic<bool>* cancel) { holdCancels.push_back(cancel); };
    network.onChange = [&](const std::string& server) {
        if (server == "\\\\PC2" && !inSecond.exchange(true))
            while (!release)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "PC" + std::to_string(i);
        computer(name, {{"gina", FakeNetwork::flagged(UF_NORMAL_ACCOUNT)}});
        AccountOperation& op = add(name, "gina");
        op.passwordRequested = op.enableRequested = true;
        op.enable = false;
        op.password = "x";
    }
    OperationWorker worker(ops, network);
    worker.start(window);
    while (!inSecond)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.requestCancel();
    EXPECT_FALSE(worker.isFinished());
    release = true;
    worker.join();

    EXPECT_TRUE(worker.isFinished());
    EXPECT_TRUE(ops[0].processed && ops[1].processed);
    // The second computer's calls all went through, though the cancel came first.
    EXPECT_TRUE(ops[1].passwordSucceeded && ops[1].enableSucceeded);
    for (std::size_t i = 2; i < ops.size(); ++i) {
        EXPECT_FALSE(ops[i].processed);
        EXPECT_FALSE(ops[i].passwordSucceeded || ops[i].enableSucceeded);
        EXPECT_TRUE(ops[i].passwordError.empty() && ops[i].enableError.empty());
    }
    EXPECT_EQ(network.changes.size(), 4u);
    EXPECT_EQ(counts(worker.counters()), (std::vector<std::int32_t>{0, 0, 0, 2, 2, 0, 2, 2, 0}));
    ASSERT_EQ(holdCancels.size(), 2u);
    EXPECT_EQ(holdCancels[1], nullptr); // a hold given the cancel would fail the rest of PC2's calls
    EXPECT_EQ(window.posts.back().message, MessageFinished);
}

} // namespace
} // namespace rm
