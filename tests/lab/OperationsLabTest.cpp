// The batch worker against the lab's computers: every change checked by a
// fresh read from the server, every refusal by its status text, and the
// lab's account left as it was.
#include "core/batch/OperationWorker.h"
#include "adapters/netapi/NetApiClient.h"
#include "support/Doubles.h"
#include "support/LabManifest.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>

namespace rm {
namespace {

using namespace std::chrono_literals;

// Asks the worker to stop when the first computer's first action is counted.
class CancellingPoster : public RecordingPoster {
public:
    Worker* worker = nullptr;
    void post(int message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        if (message == MessageProgress && worker)
            worker->requestCancel();
        RecordingPoster::post(message, wParam, lParam);
    }
};

class OperationsLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    NetApiClient net{{HELPER_PATH, 4, 30000ms}};
    const std::string offline = lab.json["offline"]["name"];
    std::vector<AccountOperation> ops;

    void SetUp() override { net.setCredentials(lab.operatorAccount(), lab.operatorPassword()); }
    // rmtest as the lab made it: the operator's password, enabled, its name.
    void TearDown() override
    {
        USER_INFO_1 info;
        if (net.NetUserGetInfo("\\\\PC01", "rmtest", info) != NERR_Success)
            net.NetUserSetInfo("\\\\PC01", "rmtest-renamed", USER_INFO_0{"rmtest"});
        ASSERT_EQ(net.NetUserGetInfo("\\\\PC01", "rmtest", info), NERR_Success) << "rmtest must be left as it was";
        EXPECT_EQ(net.NetUserSetInfo("\\\\PC01", "rmtest", USER_INFO_1008{info.usri1_flags & ~UF_ACCOUNTDISABLE}),
                  NERR_Success);
        EXPECT_EQ(net.NetUserSetInfo("\\\\PC01", "rmtest", USER_INFO_1003{lab.operatorPassword()}), NERR_Success);
    }

    AccountOperation& add(const std::string& computer, const std::string& user)
    {
        AccountOperation& op = ops.emplace_back();
        op.time = std::time(nullptr);
        op.computerName = computer;
        op.rowIndex = static_cast<int>(ops.size()) - 1;
        op.userName = user;
        return op;
    }
    // PC01's rmtest, the refusing PC05 and the offline name, one request.
    void threeComputers(void (*request)(AccountOperation&))
    {
        ops.clear();
        for (const auto& [computer, user] : {std::pair<std::string, std::string>{"PC01", "rmtest"},
                                             {"\\\\PC05", "Administrator"}, {offline, "rmtest"}})
            request(add(computer, user));
    }
    std::vector<std::int32_t> run(Poster& window)
    {
        OperationWorker worker(ops, net);
        if (auto* c = dynamic_cast<CancellingPoster*>(&window))
            c->worker = &worker;
        worker.start(window);
        worker.join();
        const OperationCounters& c = worker.counters();
        return {c.renameTotal, c.renameSucceeded, c.renameFailed, c.passwordTotal, c.passwordSucceeded,
                c.passwordFailed, c.enableTotal, c.enableSucceeded, c.enableFailed};
    }
    std::vector<std::int32_t> run()
    {
        RecordingPoster window;
        return run(window);
    }
    NetStatus logOn(const std::string& password)
    {
        NetApiClient asUser({HELPER_PATH, 1, 30000ms});
        asUser.setCredentials("rmtest", password);
        USER_INFO_1 info;
        return asUser.NetUserGetInfo("\\\\PC01", "rmtest", info);
    }
    bool disabled(const std::string& user = "rmtest")
    {
        USER_INFO_1 info;
        EXPECT_EQ(net.NetUserGetInfo("\\\\PC01", user, info), NERR_Success);
        return info.usri1_flags & UF_ACCOUNTDISABLE;
    }
    void expectRefusedAndOffline(std::string AccountOperation::*error)
    {
        EXPECT_EQ(ops[1].*error, "ERROR: The user does not have access to the requested information.");
        EXPECT_TRUE(ops[2].*error == "ERROR: Unknown error (53)" || ops[2].*error == "ERROR: Unknown error (1722)")
            << ops[2].*error;
        for (const AccountOperation& op : ops)
            EXPECT_TRUE(op.processed);
    }
};

TEST_F(OperationsLabTest, ANewPasswordLogsOnAndTheOldOneNoLonger)
{
    const std::string fresh = "Batch-Pw-" + std::to_string(std::time(nullptr));
    threeComputers([](AccountOperation& op) { op.passwordRequested = true; });
    for (AccountOperation& op : ops)
        op.password = fresh;
    EXPECT_EQ(run(), (std::vector<std::int32_t>{0, 0, 0, 3, 1, 2, 0, 0, 0}));
    EXPECT_TRUE(ops[0].passwordSucceeded);
    EXPECT_EQ(ops[0].passwordError, "");
    expectRefusedAndOffline(&AccountOperation::passwordError);
    EXPECT_EQ(logOn(fresh), NERR_Success);
    EXPECT_EQ(logOn(lab.operatorPassword()), ERROR_LOGON_FAILURE);
}

TEST_F(OperationsLabTest, DisableThenEnableEachSeenByAFreshRead)
{
    ASSERT_FALSE(disabled());
    USER_INFO_1 before;
    ASSERT_EQ(net.NetUserGetInfo("\\\\PC01", "rmtest", before), NERR_Success);
    threeComputers([](AccountOperation& op) { op.enableRequested = true; });
    EXPECT_EQ(run(), (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 3, 1, 2}));
    EXPECT_TRUE(ops[0].enableSucceeded);
    EXPECT_TRUE(disabled());
    expectRefusedAndOffline(&AccountOperation::enableError);

    threeComputers([](AccountOperation& op) { op.enableRequested = op.enable = true; });
    EXPECT_EQ(run(), (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 3, 1, 2}));
    EXPECT_TRUE(ops[0].enableSucceeded);
    USER_INFO_1 after;
    ASSERT_EQ(net.NetUserGetInfo("\\\\PC01", "rmtest", after), NERR_Success);
    EXPECT_EQ(after.usri1_flags, before.usri1_flags); // only the disabled bit moved, and back
}

TEST_F(OperationsLabTest, ARenameIsFoundUnderTheNewNameAndAnExistingNameIsRefused)
{
    threeComputers([](AccountOperation& op) {
        op.renameRequested = true;
        op.newUserName = "rmtest-renamed";
    });
    EXPECT_EQ(run(), (std::vector<std::int32_t>{3, 1, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(ops[0].renameSucceeded);
    expectRefusedAndOffline(&AccountOperation::renameError);
    USER_INFO_1 info;
    EXPECT_EQ(net.NetUserGetInfo("\\\\PC01", "rmtest", info), NERR_UserNotFound);
    EXPECT_EQ(net.NetUserGetInfo("\\\\PC01", "rmtest-renamed", info), NERR_Success);

    ops.clear();
    AccountOperation& back = add("PC01", "rmtest-renamed");
    back.renameRequested = true;
    back.newUserName = "rmtest";
    AccountOperation& taken = add("PC01", "rmtest");
    taken.renameRequested = true;
    taken.newUserName = "helpdesk";
    EXPECT_EQ(run(), (std::vector<std::int32_t>{2, 1, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(ops[0].renameSucceeded);
    EXPECT_FALSE(ops[1].renameSucceeded);
    EXPECT_EQ(ops[1].renameError, "ERROR: An account with the new name already exists");
    EXPECT_EQ(net.NetUserGetInfo("\\\\PC01", "rmtest", info), NERR_Success);
}

TEST_F(OperationsLabTest, ACancelAfterTheFirstComputerLeavesTheOthersUntouched)
{
    // The first computer's three actions are completed; nothing is asked of the others.
    const std::string fresh = "Cancel-Pw-" + std::to_string(std::time(nullptr));
    for (const auto& [computer, user] : {std::pair<std::string, std::string>{"PC01", "rmtest"},
                                         {"PC02", "helpdesk"}, {"PC04", "helpdesk"}}) {
        AccountOperation& op = add(computer, user);
        op.passwordRequested = op.enableRequested = op.renameRequested = true;
        op.password = fresh;
        op.newUserName = user + "-renamed";
    }
    std::map<std::string, std::uint32_t> flags;
    USER_INFO_1 info;
    for (const char* computer : {"PC02", "PC04"}) {
        ASSERT_EQ(net.NetUserGetInfo("\\\\" + std::string(computer), "helpdesk", info), NERR_Success);
        flags[computer] = info.usri1_flags;
    }
    CancellingPoster window;
    EXPECT_EQ(run(window), (std::vector<std::int32_t>{1, 1, 0, 1, 1, 0, 1, 1, 0}));
    EXPECT_TRUE(ops[0].processed);
    EXPECT_FALSE(ops[1].processed || ops[2].processed);
    // Should the cancel fail, the shared lab's accounts go back as they were.
    for (const AccountOperation& op : ops)
        if (op.processed && op.userName == "helpdesk") {
            const std::string server = "\\\\" + op.computerName;
            net.NetUserSetInfo(server, op.newUserName, USER_INFO_0{op.userName});
            net.NetUserSetInfo(server, op.userName, USER_INFO_1008{flags[op.computerName]});
            net.NetUserSetInfo(server, op.userName, USER_INFO_1003{lab.operatorPassword()});
        }
    EXPECT_TRUE(disabled("rmtest-renamed"));
    for (const char* computer : {"\\\\PC02", "\\\\PC04"}) {
        ASSERT_EQ(net.NetUserGetInfo(computer, "helpdesk", info), NERR_Success) << computer;
        EXPECT_FALSE(info.usri1_flags & UF_ACCOUNTDISABLE) << computer;
    }
    EXPECT_EQ(window.posts.back().message, MessageFinished);
}

} // namespace
} // namespace rm
