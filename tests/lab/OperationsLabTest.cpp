// The batch of core against the lab's computers: every change checked by a
// fresh read from the server, every refusal by its status, and the lab's
// account left as it was.
#include "LabSupport.h"
#include "core/batch/Batch.h"

#include <gtest/gtest.h>

#include <ctime>
#include <map>

namespace rm {
namespace {

// The real client, cancelling the batch as its first change begins.
class CancelAtFirstChange : public NetworkManagement {
public:
    CancelAtFirstChange(NetworkManagement& real, CancelToken& cancel) : real_(real), cancel_(cancel) {}
    std::unique_ptr<Session> openSession(const ServerName& s, const CancelToken* c) override
    {
        return real_.openSession(s, c);
    }
    NetStatus getUser(const ServerName& s, const std::string& u, UserAccount& a) override
    {
        return real_.getUser(s, u, a);
    }
    NetStatus getBuiltinAdministrator(const ServerName& s, UserAccount& a) override
    {
        return real_.getBuiltinAdministrator(s, a);
    }
    NetStatus userLocalGroups(const ServerName& s, const std::string& u, std::vector<std::string>& g) override
    {
        return real_.userLocalGroups(s, u, g);
    }
    NetStatus localGroupMembers(const ServerName& s, const std::string& g, std::vector<std::string>& m) override
    {
        return real_.localGroupMembers(s, g, m);
    }
    NetStatus setPassword(const ServerName& s, const std::string& u, const Secret& p) override
    {
        cancel_.cancel();
        return real_.setPassword(s, u, p);
    }
    NetStatus setEnabled(const ServerName& s, const std::string& u, bool e) override
    {
        return real_.setEnabled(s, u, e);
    }
    NetStatus rename(const ServerName& s, const std::string& u, const std::string& n) override
    {
        return real_.rename(s, u, n);
    }
    NetStatus machineAccounts(const ServerName& s, std::uint32_t i, std::uint32_t n,
                              std::vector<MachineAccount>& a) override
    {
        return real_.machineAccounts(s, i, n, a);
    }
    NetStatus browseList(const std::string& d, std::vector<BrowseEntry>& e) override { return real_.browseList(d, e); }
    NetStatus domainController(const std::string& d, DomainNameForm f, DomainController& c) override
    {
        return real_.domainController(d, f, c);
    }

private:
    NetworkManagement& real_;
    CancelToken& cancel_;
};

using Counts = std::vector<int>; // rename, password, enable: each total, succeeded, failed

Counts counts(const BatchCounts& c)
{
    return {c.rename.total, c.rename.succeeded, c.rename.failed, c.password.total, c.password.succeeded,
            c.password.failed, c.enable.total, c.enable.succeeded, c.enable.failed};
}

class OperationsLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    OperatorClient net{lab, 4};
    const ServerName pc01{"PC01"};
    const std::string offline = lab.json["offline"]["name"];

    void TearDown() override { restoreRmtest(lab); }

    // PC01's rmtest, the refusing PC05 and the offline name.
    BatchRequest threeComputers() const
    {
        BatchRequest r;
        r.targets = {{"PC01", "rmtest", true, {}}, {"\\\\PC05", "Administrator", true, {}}, {offline, "rmtest", {}, {}}};
        return r;
    }
    BatchOutcome run(BatchRequest request, NetworkManagement& network, CancelToken& cancel)
    {
        auto planned = plan(std::move(request));
        EXPECT_TRUE(std::holds_alternative<BatchPlan>(planned));
        Progress<BatchCounts> progress;
        return apply(std::get<BatchPlan>(planned), std::time(nullptr), network, progress, cancel);
    }
    BatchOutcome run(BatchRequest request)
    {
        CancelToken cancel;
        return run(std::move(request), net, cancel);
    }
    bool enabled(const std::string& user = "rmtest")
    {
        UserAccount account;
        EXPECT_EQ(net.getUser(pc01, user, account), NetStatus::Success);
        return account.enabled;
    }
    // The refusing computer's and the offline one's statuses, every account reached.
    static void expectRefusedAndOffline(const BatchOutcome& o, ActionOutcome AccountOutcome::*action)
    {
        EXPECT_EQ((o.accounts[1].*action).status, NetStatus::AccessDenied);
        const NetStatus offline = (o.accounts[2].*action).status;
        EXPECT_TRUE(offline == NetStatus::BadNetPath || offline == NetStatus::ServerUnavailable)
            << statusNumber(offline);
        for (const AccountOutcome& a : o.accounts)
            EXPECT_TRUE(a.processed);
        EXPECT_FALSE(o.cancelled);
    }
};

TEST_F(OperationsLabTest, ANewPasswordLogsOnAndTheOldOneNoLonger)
{
    const std::string fresh = "Batch-Pw-" + std::to_string(std::time(nullptr));
    BatchRequest r = threeComputers();
    r.changePassword = true;
    r.password = Secret::copyOf(fresh);
    r.verification = Secret::copyOf(fresh);
    const BatchOutcome o = run(std::move(r));
    EXPECT_EQ(counts(o.counts), (Counts{0, 0, 0, 3, 1, 2, 0, 0, 0}));
    EXPECT_TRUE(o.accounts[0].password.succeeded());
    expectRefusedAndOffline(o, &AccountOutcome::password);
    EXPECT_EQ(logOn("rmtest", fresh), NetStatus::Success);
    EXPECT_EQ(logOn("rmtest", lab.operatorPassword()), NetStatus::LogonFailure);
}

TEST_F(OperationsLabTest, DisableThenEnableEachSeenByAFreshRead)
{
    ASSERT_TRUE(enabled());
    const std::uint32_t before = helperUserRecord(lab, "PC01", "rmtest").flags;
    BatchRequest disable = threeComputers();
    disable.enabledChoice = EnabledChoice::Disable;
    BatchOutcome o = run(std::move(disable));
    EXPECT_EQ(counts(o.counts), (Counts{0, 0, 0, 0, 0, 0, 3, 1, 2}));
    EXPECT_TRUE(o.accounts[0].enable.succeeded());
    EXPECT_FALSE(enabled());
    expectRefusedAndOffline(o, &AccountOutcome::enable);

    BatchRequest enable = threeComputers();
    enable.enabledChoice = EnabledChoice::Enable;
    o = run(std::move(enable));
    EXPECT_EQ(counts(o.counts), (Counts{0, 0, 0, 0, 0, 0, 3, 1, 2}));
    EXPECT_TRUE(o.accounts[0].enable.succeeded());
    EXPECT_TRUE(enabled());
    EXPECT_EQ(helperUserRecord(lab, "PC01", "rmtest").flags, before); // only the disabled bit moved, and back
}

TEST_F(OperationsLabTest, ARenameIsFoundUnderTheNewNameAndAnExistingNameIsRefused)
{
    BatchRequest r = threeComputers();
    r.rename = true;
    r.newName = "rmtest-renamed";
    BatchOutcome o = run(std::move(r));
    EXPECT_EQ(counts(o.counts), (Counts{3, 1, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(o.accounts[0].rename.succeeded());
    expectRefusedAndOffline(o, &AccountOutcome::rename);
    UserAccount account;
    EXPECT_EQ(net.getUser(pc01, "rmtest", account), NetStatus::UserNotFound);
    EXPECT_EQ(net.getUser(pc01, "rmtest-renamed", account), NetStatus::Success);

    BatchRequest back;
    back.targets = {{"PC01", "rmtest-renamed", {}, {}}};
    back.rename = true;
    back.newName = "rmtest";
    o = run(std::move(back));
    EXPECT_TRUE(o.accounts[0].rename.succeeded());
    BatchRequest taken;
    taken.targets = {{"PC01", "rmtest", {}, {}}};
    taken.rename = true;
    taken.newName = "helpdesk";
    o = run(std::move(taken));
    EXPECT_EQ(counts(o.counts), (Counts{1, 0, 1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(o.accounts[0].rename.status, NetStatus::AccountExists);
    EXPECT_EQ(net.getUser(pc01, "rmtest", account), NetStatus::Success);
}

TEST_F(OperationsLabTest, ACancelDuringTheFirstComputerLeavesTheOthersUntouched)
{
    // The first computer's three actions are completed; nothing is asked of the others.
    const std::string fresh = "Cancel-Pw-" + std::to_string(std::time(nullptr));
    BatchRequest r;
    r.targets = {{"PC01", "rmtest", {}, {}}, {"PC02", "helpdesk", {}, {}}, {"PC04", "helpdesk", {}, {}}};
    r.changePassword = true;
    r.password = Secret::copyOf(fresh);
    r.verification = Secret::copyOf(fresh);
    r.enabledChoice = EnabledChoice::Disable;
    r.rename = true;
    r.newName = "rmtest-renamed";
    std::map<std::string, std::uint32_t> flags;
    for (const char* computer : {"PC02", "PC04"})
        flags[computer] = helperUserRecord(lab, computer, "helpdesk").flags;
    CancelToken cancel;
    CancelAtFirstChange cancelling(net, cancel);
    const BatchOutcome o = run(std::move(r), cancelling, cancel);
    EXPECT_EQ(counts(o.counts), (Counts{1, 1, 0, 1, 1, 0, 1, 1, 0}));
    EXPECT_TRUE(o.cancelled);
    EXPECT_TRUE(o.accounts[0].processed);
    EXPECT_FALSE(o.accounts[1].processed || o.accounts[2].processed);
    // Should the cancel fail, the shared lab's accounts go back as they were.
    for (std::size_t i = 1; i < o.accounts.size(); ++i)
        if (o.accounts[i].processed) {
            const ServerName server(o.accounts[i].target.computer);
            net.rename(server, "rmtest-renamed", "helpdesk");
            net.setEnabled(server, "helpdesk", !(flags[o.accounts[i].target.computer] & UserFlag::Disabled));
            net.setPassword(server, "helpdesk", Secret::copyOf(lab.operatorPassword()));
        }
    EXPECT_FALSE(enabled("rmtest-renamed"));
    for (const char* computer : {"PC02", "PC04"})
        EXPECT_EQ(helperUserRecord(lab, computer, "helpdesk").flags, flags[computer]) << computer;
}

} // namespace
} // namespace rm
