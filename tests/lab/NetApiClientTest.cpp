// The network port's Linux adapter against the lab's servers: what it reads
// matches the manifest (and, for the identifier, Samba's own client), what
// it changes is seen by a fresh read, and failures come back as the
// statuses the program's texts are keyed by.
#include "LabSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <set>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// The account's identifier as Samba's own client tool reads it.
std::uint32_t ridByRpcclient(const LabManifest& lab, const std::string& host, const std::string& user)
{
    const std::string command = "rpcclient -U '" + lab.operatorAccount() + "%" + lab.operatorPassword()
        + "' -c 'queryuser " + user + "' " + host + " 2>&1";
    std::uint32_t rid = 0;
    FILE* out = ::popen(command.c_str(), "r");
    char line[512];
    while (out && std::fgets(line, sizeof line, out))
        std::sscanf(line, " user_rid : %x", &rid);
    if (out)
        ::pclose(out);
    return rid;
}

class NetApiClientTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    // Generous: name look-ups by broadcast are slow, more so under the sanitizers.
    OperatorClient net{lab, 8};
    const ServerName pc01{"PC01"};

    std::vector<std::string> localGroups(const std::string& host, const std::string& user)
    {
        std::vector<std::string> groups;
        EXPECT_EQ(net.userLocalGroups(ServerName(host), user, groups), NetStatus::Success) << host << " " << user;
        return groups;
    }
    std::vector<std::string> members(const std::string& host, const std::string& group,
                                     NetStatus expected = NetStatus::Success)
    {
        std::vector<std::string> names{"stale"};
        EXPECT_EQ(net.localGroupMembers(ServerName(host), group, names), expected) << host << " " << group;
        std::sort(names.begin(), names.end());
        return names;
    }
    NetStatus getUser(const std::string& server, const std::string& user = "Administrator")
    {
        UserAccount account;
        return net.getUser(ServerName(server), user, account);
    }
};

// A joined member's group holds a domain account deleted since: it is
// listed by its SID, beside the local member, and the user's groups still read.
TEST_F(NetApiClientTest, ADeletedDomainAccountInAGroupIsListedByItsSid)
{
    std::ifstream in(std::string(std::getenv("RMLAB_DIR")) + "/deleted-members.json");
    const json deleted = json::parse(in, nullptr, false);
    ASSERT_TRUE(deleted.is_object());
    const std::string sid = deleted["SRV01"]["Project Team"][0];
    EXPECT_EQ(members("SRV01", "Project Team"), (std::vector<std::string>{sid, "SRV01\\svcdesk"}));
    const std::vector<std::string> groups = localGroups("SRV01", "svcdesk");
    EXPECT_EQ(std::set<std::string>(groups.begin(), groups.end()),
              (std::set<std::string>{"Service Desk", "Project Team"}));
}

TEST_F(NetApiClientTest, UserInformationMatchesTheManifest)
{
    const long age = std::time(nullptr) - LabManifest::readySeconds();
    for (const json& host : lab.json["members"]) {
        if (host.value("refusesOperator", false))
            continue;
        std::set<std::uint32_t> rids;
        for (const json& user : host["users"]) {
            const std::string computer = host["name"], name = user["name"];
            UserAccount account;
            ASSERT_EQ(net.getUser(ServerName(computer), name, account), NetStatus::Success) << computer << " " << name;
            EXPECT_EQ(account.name, name);
            EXPECT_EQ(account.enabled, user["enabled"].get<bool>()) << name;
            // Set while the lab was built, a few seconds before it was ready.
            if (!user.value("changedByTests", false)) {
                EXPECT_NEAR(static_cast<double>(account.passwordAgeSeconds), static_cast<double>(age), 120.0) << name;
            }
            EXPECT_EQ(account.rid, ridByRpcclient(lab, computer, name)) << computer << " " << name;
            EXPECT_TRUE(rids.insert(account.rid).second) << computer << " " << name;
            const auto groups = user["groups"].get<std::vector<std::string>>();
            EXPECT_EQ(localGroups(computer, name), groups) << computer << " " << name;

            // What the port leaves out, as the helper answers it.
            const HelperUserRecord record = helperUserRecord(lab, computer, name);
            ASSERT_EQ(record.status, NetStatus::Success);
            EXPECT_EQ(record.rid, account.rid);
            EXPECT_TRUE(record.flags & UserFlag::NormalAccount) << name;
            EXPECT_TRUE(record.flags & UserFlag::Script) << name;
            const bool admin = std::find(groups.begin(), groups.end(), "Administrators") != groups.end();
            EXPECT_EQ(record.privilege, admin ? PrivilegeAdmin : PrivilegeUser) << name;
        }
    }
}

TEST_F(NetApiClientTest, MissingAccountsAreNotFound)
{
    UserAccount account;
    account.name = "untouched";
    EXPECT_EQ(net.getUser(ServerName("PC03"), "Administrator", account), NetStatus::UserNotFound);
    EXPECT_EQ(account.name, "untouched");
    EXPECT_EQ(getUser("PC04"), NetStatus::UserNotFound);
    EXPECT_EQ(getUser("PC01", ""), NetStatus::UserNotFound);
    std::vector<std::string> groups{"stale"};
    EXPECT_EQ(net.userLocalGroups(pc01, "nosuchuser", groups), NetStatus::UserNotFound);
    EXPECT_TRUE(groups.empty());
}

TEST_F(NetApiClientTest, LocalGroupMembersMatchTheManifest)
{
    for (const json& host : lab.json["members"]) {
        if (host.value("refusesOperator", false))
            continue;
        const std::string name = host["name"];
        std::vector<std::string> admins;
        for (const json& user : host["users"])
            for (const json& g : user["groups"])
                if (g == "Administrators")
                    admins.push_back(name + "\\" + user["name"].get<std::string>());
        std::sort(admins.begin(), admins.end());
        EXPECT_EQ(members(name, "Administrators"), admins) << name;
        for (const json& group : host["groups"]) {
            std::vector<std::string> expected;
            for (const json& m : group["members"])
                expected.push_back(name + "\\" + m.get<std::string>());
            for (const json& global : group.value("globalGroupMembers", json::array()))
                expected.push_back(name + "\\" + global.get<std::string>());
            for (const json& sid : group.value("foreignMembers", json::array()))
                expected.push_back(sid == "S-1-5-11" ? "NT AUTHORITY\\Authenticated Users" : sid.get<std::string>());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(members(name, group["name"]), expected) << name << " " << group["name"];
        }
    }
    EXPECT_EQ(members("PC01", "No Such Group", NetStatus::GroupNotFound), std::vector<std::string>{});
    EXPECT_EQ(members("PC01", "", NetStatus::GroupNotFound), std::vector<std::string>{});
    // A user's name is not a group's.
    EXPECT_EQ(members("PC01", "helpdesk", NetStatus::GroupNotFound), std::vector<std::string>{});
}

TEST_F(NetApiClientTest, UnreachableRefusingAndBadComputers)
{
    EXPECT_EQ(getUser("PC05"), NetStatus::AccessDenied);
    const NetStatus offline = getUser(lab.json["offline"]["name"]);
    EXPECT_TRUE(offline == NetStatus::BadNetPath || offline == NetStatus::ServerUnavailable) << statusNumber(offline);
    EXPECT_EQ(getUser("NOSUCHHOST"), NetStatus::BadNetPath);
    for (const char* bad : {"", "\\\\", "\\\\bad name", "\\\\pc01;rm", "\\\\a/b", "\\\\..", "\\\\-x"})
        EXPECT_EQ(getUser(bad), NetStatus::InvalidComputer) << bad;
    // Nothing that could reach Samba's binding string or a URL.
    for (char c : std::string(" \\/:*?\"<>|;,=+[]\t"))
        EXPECT_EQ(getUser("\\\\PC" + std::string(1, c) + "01"), NetStatus::InvalidComputer) << c;
    // The characters a NetBIOS name may hold pass the check: no such
    // computer here, but not a bad name either. Past 15 characters only a
    // DNS name's do.
    EXPECT_EQ(getUser("\\\\P!@#$%^&')({}~"), NetStatus::BadNetPath);
    EXPECT_EQ(getUser("\\\\PC!@#$%^&')(.-_{}~"), NetStatus::InvalidComputer);
    // A full DNS name is a computer's name too.
    EXPECT_EQ(getUser("\\\\pc01." + lab.json["domain"]["dnsName"].get<std::string>()), NetStatus::Success);
    // Plain names work as well as ones with backslashes.
    EXPECT_EQ(getUser("PC01"), NetStatus::Success);
}

TEST_F(NetApiClientTest, ASilentServerCostsNoMoreThanTheTimeLimit)
{
    OperatorClient limited(lab, helperSettings(2, 6000ms));
    UserAccount account;
    const auto started = std::chrono::steady_clock::now();
    const NetStatus s = limited.getUser(ServerName(lab.json["blackhole"]["name"].get<std::string>()), "Administrator", account);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_NE(s, NetStatus::Success);
    EXPECT_NE(s, NetStatus::UserNotFound);
    EXPECT_LT(took, 6000ms + 1500ms);
    // The pool goes on working.
    EXPECT_EQ(limited.getUser(pc01, "Administrator", account), NetStatus::Success);
}

TEST_F(NetApiClientTest, AKilledHelperFailsOnlyTheCallInFlight)
{
    ASSERT_EQ(getUser("PC01"), NetStatus::Success);
    std::atomic<NetStatus> inFlight{NetStatus::Success};
    std::thread caller([&] { inFlight = getUser(lab.json["blackhole"]["name"]); });
    std::this_thread::sleep_for(500ms);
    for (pid_t pid : net.helperProcesses())
        ::kill(pid, SIGKILL);
    caller.join();
    EXPECT_EQ(inFlight.load(), NetStatus::CallFailed);
    EXPECT_EQ(getUser("PC01"), NetStatus::Success);
}

TEST_F(NetApiClientTest, EnableAndDisableAreSeenByASecondReadAndMoveNoOtherFlag)
{
    UserAccount account;
    const std::uint32_t original = helperUserRecord(lab, "PC01", "rmtest").flags;
    ASSERT_FALSE(original & UserFlag::Disabled);
    ASSERT_EQ(net.setEnabled(pc01, "rmtest", false), NetStatus::Success);
    ASSERT_EQ(net.getUser(pc01, "rmtest", account), NetStatus::Success);
    EXPECT_FALSE(account.enabled);
    EXPECT_EQ(helperUserRecord(lab, "PC01", "rmtest").flags, original | UserFlag::Disabled);
    // Disabling a disabled account succeeds too.
    EXPECT_EQ(net.setEnabled(pc01, "rmtest", false), NetStatus::Success);
    ASSERT_EQ(net.setEnabled(pc01, "rmtest", true), NetStatus::Success);
    ASSERT_EQ(net.getUser(pc01, "rmtest", account), NetStatus::Success);
    EXPECT_TRUE(account.enabled);
    EXPECT_EQ(helperUserRecord(lab, "PC01", "rmtest").flags, original);
    EXPECT_EQ(net.setEnabled(pc01, "nosuchuser", true), NetStatus::UserNotFound);
}

TEST_F(NetApiClientTest, RenameIsSeenByTheNewNameAndKeepsTheIdentifier)
{
    UserAccount before, after;
    ASSERT_EQ(net.getUser(pc01, "rmtest", before), NetStatus::Success);
    ASSERT_EQ(net.rename(pc01, "rmtest", "rmtest-renamed"), NetStatus::Success);
    EXPECT_EQ(getUser("PC01", "rmtest"), NetStatus::UserNotFound);
    ASSERT_EQ(net.getUser(pc01, "rmtest-renamed", after), NetStatus::Success);
    EXPECT_EQ(after.name, "rmtest-renamed");
    EXPECT_EQ(after.rid, before.rid);
    EXPECT_EQ(net.rename(pc01, "rmtest-renamed", "helpdesk"), NetStatus::AccountExists);
    ASSERT_EQ(net.rename(pc01, "rmtest-renamed", "rmtest"), NetStatus::Success);
    EXPECT_EQ(getUser("PC01", "rmtest"), NetStatus::Success);
    EXPECT_EQ(net.rename(pc01, "rmtest", ""), NetStatus::InvalidParameter);
}

TEST_F(NetApiClientTest, ANewPasswordIsAcceptedByTheServer)
{
    const std::string fresh = "Fresh-Pässword-" + std::to_string(std::time(nullptr));
    ASSERT_EQ(net.setPassword(pc01, "rmtest", Secret::copyOf(fresh)), NetStatus::Success);
    EXPECT_EQ(logOn("rmtest", fresh), NetStatus::Success);
    EXPECT_EQ(logOn("rmtest", lab.operatorPassword()), NetStatus::LogonFailure);

    ASSERT_EQ(net.setPassword(pc01, "rmtest", Secret::copyOf(lab.operatorPassword())), NetStatus::Success);
    EXPECT_EQ(logOn("rmtest", lab.operatorPassword()), NetStatus::Success);
    UserAccount account;
    ASSERT_EQ(net.getUser(pc01, "rmtest", account), NetStatus::Success);
    EXPECT_LT(account.passwordAgeSeconds, 60u);
}

TEST_F(NetApiClientTest, MachineAccountsOfTheControllerPageByPage)
{
    const ServerName dc(lab.json["domain"]["controller"]["name"].get<std::string>());
    std::vector<std::string> names;
    std::uint32_t index = 0;
    NetStatus status;
    int pages = 0;
    do {
        std::vector<MachineAccount> page;
        status = net.machineAccounts(dc, index, 2, page);
        ASSERT_TRUE(status == NetStatus::Success || status == NetStatus::MoreData) << statusNumber(status);
        ASSERT_LE(page.size(), 2u);
        for (const auto& m : page) {
            names.push_back(m.name);
            EXPECT_GT(m.nextIndex, index);
            index = m.nextIndex;
        }
        ++pages;
    } while (status == NetStatus::MoreData && pages < 1000); // some 670 accounts, two a page
    EXPECT_GT(pages, 1);
    for (const json& machine : lab.json["domain"]["machineAccounts"])
        EXPECT_NE(std::find(names.begin(), names.end(), machine.get<std::string>() + "$"), names.end()) << machine;
    EXPECT_NE(std::find(names.begin(), names.end(), lab.json["domain"]["controller"]["name"].get<std::string>() + "$"),
              names.end());
}

TEST_F(NetApiClientTest, ControllerOfTheDomainInEitherForm)
{
    const json& d = lab.json["domain"];
    DomainController dc;
    ASSERT_EQ(net.domainController(d["dnsName"], DomainNameForm::Flat, dc), NetStatus::Success);
    EXPECT_EQ(dc.name, d["controller"]["name"]); // without backslashes
    EXPECT_EQ(dc.domain, d["netbios"]);
    ASSERT_EQ(net.domainController(d["netbios"], DomainNameForm::Dns, dc), NetStatus::Success);
    EXPECT_EQ(dc.domain, d["dnsName"]);
    ASSERT_EQ(net.domainController(d["netbios"], DomainNameForm::Flat, dc), NetStatus::Success);
    EXPECT_EQ(dc.domain, d["netbios"]);
    EXPECT_NE(net.domainController("nowhere.example", DomainNameForm::Flat, dc), NetStatus::Success);
}

TEST_F(NetApiClientTest, BrowseListOfTheWorkgroup)
{
    std::vector<std::string> expected;
    for (const json& host : lab.json["members"])
        if (host["browse"] != "none")
            expected.push_back(host["name"]);
    // Announcements reach the master browser within minutes of the lab's start.
    std::vector<BrowseEntry> servers;
    std::vector<std::string> names;
    for (int attempt = 0; attempt < 100; ++attempt) {
        ASSERT_EQ(net.browseList(lab.json["domain"]["netbios"], servers), NetStatus::Success);
        names.clear();
        for (const auto& s : servers)
            names.push_back(s.name);
        std::sort(names.begin(), names.end());
        if (names == expected)
            break;
        std::this_thread::sleep_for(5s);
    }
    EXPECT_EQ(names, expected);
    for (const auto& s : servers) {
        EXPECT_TRUE(s.type & BrowseType::ServerNt) << s.name;
        EXPECT_TRUE(s.type & BrowseType::Nt) << s.name;
        EXPECT_GE(s.versionMajor, 4u);
    }
    EXPECT_NE(net.browseList("NOSUCHGROUP", servers), NetStatus::Success);
    EXPECT_EQ(net.browseList("bad/name", servers), NetStatus::InvalidParameter);
}

TEST_F(NetApiClientTest, ManyThreadsAtOnceEachInASessionOfItsOwn)
{
    const json& load = lab.json["load"];
    std::atomic<int> ok{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 24; ++t)
        threads.emplace_back([&, t] {
            for (int i = t; i < load["count"].get<int>(); i += 24) {
                char name[32];
                std::snprintf(name, sizeof name, "%s%03d", load["namePrefix"].get<std::string>().c_str(), i + 1);
                const ServerName server(name);
                const auto session = net.openSession(server);
                UserAccount account;
                std::vector<std::string> groups;
                if (net.getUser(server, "Administrator", account) == NetStatus::Success
                    && net.userLocalGroups(server, "Administrator", groups) == NetStatus::Success && groups.size() == 1)
                    ++ok;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(ok.load(), load["count"].get<int>());
    EXPECT_LE(net.helperProcesses().size(), 8u);
}

} // namespace
} // namespace rm
