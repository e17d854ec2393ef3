#include "adapters/netapi/NetApiClient.h"
#include "support/LabManifest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <ctime>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

std::string server(const std::string& name)
{
    return "\\\\" + name;
}

class NetApiClientTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    // Generous: name look-ups by broadcast are slow, more so under the sanitizers.
    NetApiClient net{{HELPER_PATH, 8, 30000ms}};

    void SetUp() override { net.setCredentials(lab.operatorAccount(), lab.operatorPassword()); }

    std::vector<std::string> localGroups(const std::string& host, const std::string& user)
    {
        std::vector<LOCALGROUP_USERS_INFO_0> groups;
        EXPECT_EQ(net.NetUserGetLocalGroups(server(host), user, LG_INCLUDE_INDIRECT, groups), NERR_Success);
        std::vector<std::string> names;
        for (const auto& g : groups)
            names.push_back(g.lgrui0_name);
        return names;
    }
    std::vector<std::string> members(const std::string& host, const std::string& group, NetStatus expected = NERR_Success)
    {
        std::vector<LOCALGROUP_MEMBERS_INFO_3> list;
        EXPECT_EQ(net.NetLocalGroupGetMembers(server(host), group, list), expected) << host << " " << group;
        std::vector<std::string> names;
        for (const auto& m : list)
            names.push_back(m.lgrmi3_domainandname);
        std::sort(names.begin(), names.end());
        return names;
    }
    const json& rmtestHost() { return lab.member("PC01"); }
};

TEST_F(NetApiClientTest, UserInformationMatchesTheManifest)
{
    const long age = std::time(nullptr) - LabManifest::readySeconds();
    for (const json& host : lab.json["members"]) {
        if (host.value("refusesOperator", false))
            continue;
        for (const json& user : host["users"]) {
            USER_INFO_1 info;
            const std::string name = user["name"];
            ASSERT_EQ(net.NetUserGetInfo(server(host["name"]), name, info), NERR_Success) << host["name"] << " " << name;
            EXPECT_EQ(info.usri1_name, name);
            EXPECT_EQ((info.usri1_flags & UF_ACCOUNTDISABLE) == 0, user["enabled"].get<bool>()) << name;
            EXPECT_TRUE(info.usri1_flags & UF_NORMAL_ACCOUNT);
            EXPECT_TRUE(info.usri1_flags & UF_SCRIPT);
            // Set while the lab was built, a few seconds before it was ready.
            if (!user.value("changedByTests", false)) {
                EXPECT_NEAR(static_cast<double>(info.usri1_password_age), static_cast<double>(age), 120.0) << name;
            }
            const auto groups = user["groups"].get<std::vector<std::string>>();
            const bool admin = std::find(groups.begin(), groups.end(), "Administrators") != groups.end();
            EXPECT_EQ(info.usri1_priv, admin ? USER_PRIV_ADMIN : USER_PRIV_USER) << name;
            EXPECT_EQ(localGroups(host["name"], name), groups) << host["name"] << " " << name;
        }
    }
}

TEST_F(NetApiClientTest, MissingAccountsAreNotFound)
{
    USER_INFO_1 info;
    info.usri1_name = "untouched";
    EXPECT_EQ(net.NetUserGetInfo(server("PC03"), "Administrator", info), NERR_UserNotFound);
    EXPECT_EQ(info.usri1_name, "untouched");
    EXPECT_EQ(net.NetUserGetInfo(server("PC04"), "Administrator", info), NERR_UserNotFound);
    EXPECT_EQ(net.NetUserGetInfo(server("PC01"), "", info), NERR_UserNotFound);
    std::vector<LOCALGROUP_USERS_INFO_0> groups;
    EXPECT_EQ(net.NetUserGetLocalGroups(server("PC01"), "nosuchuser", LG_INCLUDE_INDIRECT, groups), NERR_UserNotFound);
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
    EXPECT_EQ(members("PC01", "No Such Group", NERR_GroupNotFound), std::vector<std::string>{});
    EXPECT_EQ(members("PC01", "", NERR_GroupNotFound), std::vector<std::string>{});
    // A user's name is not a group's.
    EXPECT_EQ(members("PC01", "helpdesk", NERR_GroupNotFound), std::vector<std::string>{});
}

TEST_F(NetApiClientTest, UnreachableRefusingAndBadComputers)
{
    USER_INFO_1 info;
    EXPECT_EQ(net.NetUserGetInfo(server("PC05"), "Administrator", info), ERROR_ACCESS_DENIED);
    const NetStatus offline = net.NetUserGetInfo(server(lab.json["offline"]["name"]), "Administrator", info);
    EXPECT_TRUE(offline == ERROR_BAD_NETPATH || offline == RPC_S_SERVER_UNAVAILABLE) << offline;
    EXPECT_EQ(net.NetUserGetInfo(server("NOSUCHHOST"), "Administrator", info), ERROR_BAD_NETPATH);
    for (const char* bad : {"", "\\\\", "\\\\bad name", "\\\\pc01;rm", "\\\\a/b", "\\\\..", "\\\\-x"})
        EXPECT_EQ(net.NetUserGetInfo(bad, "Administrator", info), NERR_InvalidComputer) << bad;
    // Nothing that could reach Samba's binding string or a URL.
    for (char c : std::string(" \\/:*?\"<>|;,=+[]\t"))
        EXPECT_EQ(net.NetUserGetInfo("\\\\PC" + std::string(1, c) + "01", "Administrator", info), NERR_InvalidComputer) << c;
    // The characters a NetBIOS name may hold pass the check: no such
    // computer here, but not a bad name either. Past 15 characters only a
    // DNS name's do.
    EXPECT_EQ(net.NetUserGetInfo("\\\\P!@#$%^&')({}~", "Administrator", info), ERROR_BAD_NETPATH);
    EXPECT_EQ(net.NetUserGetInfo("\\\\PC!@#$%^&')(.-_{}~", "Administrator", info), NERR_InvalidComputer);
    // A full DNS name is a computer's name too.
    EXPECT_EQ(net.NetUserGetInfo("\\\\pc01." + lab.json["domain"]["dnsName"].get<std::string>(), "Administrator", info),
              NERR_Success);
    // Plain names work as well as ones with backslashes.
    EXPECT_EQ(net.NetUserGetInfo("PC01", "Administrator", info), NERR_Success);
}

TEST_F(NetApiClientTest, ASilentServerCostsNoMoreThanTheTimeLimit)
{
    NetApiClient limited({HELPER_PATH, 2, 6000ms});
    limited.setCredentials(lab.operatorAccount(), lab.operatorPassword());
    USER_INFO_1 info;
    const auto started = std::chrono::steady_clock::now();
    const NetStatus s = limited.NetUserGetInfo(server(lab.json["blackhole"]["name"]), "Administrator", info);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_NE(s, NERR_Success);
    EXPECT_NE(s, NERR_UserNotFound);
    EXPECT_LT(took, 6000ms + 1500ms);
    // The pool goes on working.
    EXPECT_EQ(limited.NetUserGetInfo(server("PC01"), "Administrator", info), NERR_Success);
}

TEST_F(NetApiClientTest, AKilledHelperFailsOnlyTheCallInFlight)
{
    USER_INFO_1 info;
    ASSERT_EQ(net.NetUserGetInfo(server("PC01"), "Administrator", info), NERR_Success);
    std::atomic<NetStatus> inFlight{NERR_Success};
    std::thread caller([&] {
        USER_INFO_1 i;
        inFlight = net.NetUserGetInfo(server(lab.json["blackhole"]["name"]), "Administrator", i);
    });
    std::this_thread::sleep_for(500ms);
    for (pid_t pid : net.helperProcesses())
        ::kill(pid, SIGKILL);
    caller.join();
    EXPECT_EQ(inFlight.load(), RPC_S_CALL_FAILED);
    EXPECT_EQ(net.NetUserGetInfo(server("PC01"), "Administrator", info), NERR_Success);
}

TEST_F(NetApiClientTest, EnableAndDisableAreSeenByASecondRead)
{
    const std::string host = server("PC01");
    USER_INFO_1 info;
    ASSERT_EQ(net.NetUserGetInfo(host, "rmtest", info), NERR_Success);
    const std::uint32_t original = info.usri1_flags;
    ASSERT_EQ(net.NetUserSetInfo(host, "rmtest", USER_INFO_1008{original | UF_ACCOUNTDISABLE}), NERR_Success);
    ASSERT_EQ(net.NetUserGetInfo(host, "rmtest", info), NERR_Success);
    EXPECT_TRUE(info.usri1_flags & UF_ACCOUNTDISABLE);
    // Disabling a disabled account succeeds too.
    EXPECT_EQ(net.NetUserSetInfo(host, "rmtest", USER_INFO_1008{info.usri1_flags}), NERR_Success);
    ASSERT_EQ(net.NetUserSetInfo(host, "rmtest", USER_INFO_1008{original & ~UF_ACCOUNTDISABLE}), NERR_Success);
    ASSERT_EQ(net.NetUserGetInfo(host, "rmtest", info), NERR_Success);
    EXPECT_FALSE(info.usri1_flags & UF_ACCOUNTDISABLE);
    EXPECT_EQ(info.usri1_flags, original);
    EXPECT_EQ(net.NetUserSetInfo(host, "nosuchuser", USER_INFO_1008{original}), NERR_UserNotFound);
}

TEST_F(NetApiClientTest, RenameIsSeenByTheNewName)
{
    const std::string host = server("PC01");
    USER_INFO_1 info;
    ASSERT_EQ(net.NetUserSetInfo(host, "rmtest", USER_INFO_0{"rmtest-renamed"}), NERR_Success);
    EXPECT_EQ(net.NetUserGetInfo(host, "rmtest", info), NERR_UserNotFound);
    EXPECT_EQ(net.NetUserGetInfo(host, "rmtest-renamed", info), NERR_Success);
    EXPECT_EQ(info.usri1_name, "rmtest-renamed");
    EXPECT_EQ(net.NetUserSetInfo(host, "rmtest-renamed", USER_INFO_0{"helpdesk"}), NERR_UserExists);
    ASSERT_EQ(net.NetUserSetInfo(host, "rmtest-renamed", USER_INFO_0{"rmtest"}), NERR_Success);
    EXPECT_EQ(net.NetUserGetInfo(host, "rmtest", info), NERR_Success);
    EXPECT_EQ(net.NetUserSetInfo(host, "rmtest", USER_INFO_0{""}), ERROR_INVALID_PARAMETER);
}

TEST_F(NetApiClientTest, ANewPasswordIsAcceptedByTheServer)
{
    const std::string host = server("PC01");
    const std::string fresh = "Fresh-Pässword-" + std::to_string(std::time(nullptr));
    ASSERT_EQ(net.NetUserSetInfo(host, "rmtest", USER_INFO_1003{fresh}), NERR_Success);

    USER_INFO_1 info;
    NetApiClient asUser({HELPER_PATH, 1, 30000ms});
    asUser.setCredentials("rmtest", fresh);
    EXPECT_EQ(asUser.NetUserGetInfo(host, "rmtest", info), NERR_Success);
    asUser.setCredentials("rmtest", lab.operatorPassword());
    EXPECT_EQ(asUser.NetUserGetInfo(host, "rmtest", info), ERROR_LOGON_FAILURE);

    ASSERT_EQ(net.NetUserSetInfo(host, "rmtest", USER_INFO_1003{lab.operatorPassword()}), NERR_Success);
    asUser.setCredentials("rmtest", lab.operatorPassword());
    EXPECT_EQ(asUser.NetUserGetInfo(host, "rmtest", info), NERR_Success);
    EXPECT_LT(info.usri1_password_age, 60u);
}

TEST_F(NetApiClientTest, MachineAccountsOfTheControllerPageByPage)
{
    const std::string dc = server(lab.json["domain"]["controller"]["name"]);
    std::vector<std::string> names;
    std::uint32_t index = 0;
    NetStatus status;
    int pages = 0;
    do {
        std::vector<NET_DISPLAY_MACHINE> page;
        status = net.NetQueryDisplayInformation(dc, index, 2, page);
        ASSERT_TRUE(status == NERR_Success || status == ERROR_MORE_DATA) << status;
        ASSERT_LE(page.size(), 2u);
        for (const auto& m : page) {
            names.push_back(m.usri2_name);
            EXPECT_GT(m.usri2_next_index, index);
            index = m.usri2_next_index;
        }
        ++pages;
    } while (status == ERROR_MORE_DATA && pages < 1000); // some 670 accounts, two a page
    EXPECT_GT(pages, 1);
    for (const json& machine : lab.json["domain"]["machineAccounts"])
        EXPECT_NE(std::find(names.begin(), names.end(), machine.get<std::string>() + "$"), names.end()) << machine;
    EXPECT_NE(std::find(names.begin(), names.end(), lab.json["domain"]["controller"]["name"].get<std::string>() + "$"),
              names.end());
}

TEST_F(NetApiClientTest, ControllerOfTheDomain)
{
    const json& d = lab.json["domain"];
    DOMAIN_CONTROLLER_INFO info;
    ASSERT_EQ(net.DsGetDcName(d["dnsName"], DS_RETURN_FLAT_NAME, info), NERR_Success);
    EXPECT_EQ(info.DomainControllerName, "\\\\" + d["controller"]["name"].get<std::string>());
    EXPECT_EQ(info.DomainControllerAddress, "\\\\" + d["controller"]["address"].get<std::string>());
    EXPECT_EQ(info.DomainName, d["netbios"]);
    EXPECT_EQ(info.DnsForestName, d["dnsName"]);
    ASSERT_EQ(net.DsGetDcName(d["netbios"], DS_RETURN_DNS_NAME, info), NERR_Success);
    EXPECT_EQ(info.DomainName, d["dnsName"]);
    ASSERT_EQ(net.DsGetDcName(d["netbios"], DS_RETURN_FLAT_NAME, info), NERR_Success);
    EXPECT_EQ(info.DomainName, d["netbios"]);
    EXPECT_NE(net.DsGetDcName("nowhere.example", DS_RETURN_FLAT_NAME, info), NERR_Success);
}

TEST_F(NetApiClientTest, BrowseListOfTheWorkgroup)
{
    std::vector<std::string> expected;
    for (const json& host : lab.json["members"])
        if (host["browse"] != "none")
            expected.push_back(host["name"]);
    // Announcements reach the master browser within minutes of the lab's start.
    std::vector<SERVER_INFO_101> servers;
    std::vector<std::string> names;
    for (int attempt = 0; attempt < 100; ++attempt) {
        ASSERT_EQ(net.NetServerEnum(lab.json["domain"]["netbios"], SV_TYPE_ALL, servers), NERR_Success);
        names.clear();
        for (const auto& s : servers)
            names.push_back(s.sv101_name);
        std::sort(names.begin(), names.end());
        if (names == expected)
            break;
        std::this_thread::sleep_for(5s);
    }
    EXPECT_EQ(names, expected);
    for (const auto& s : servers) {
        EXPECT_EQ(s.sv101_platform_id, 500u);
        EXPECT_TRUE(s.sv101_type & SV_TYPE_SERVER_NT) << s.sv101_name;
        EXPECT_TRUE(s.sv101_type & SV_TYPE_NT) << s.sv101_name;
        EXPECT_GE(s.sv101_version_major, 4u);
    }
    EXPECT_NE(net.NetServerEnum("NOSUCHGROUP", SV_TYPE_ALL, servers), NERR_Success);
    EXPECT_EQ(net.NetServerEnum("bad/name", SV_TYPE_ALL, servers), ERROR_INVALID_PARAMETER);
}

TEST_F(NetApiClientTest, ManyThreadsAtOnce)
{
    const json& load = lab.json["load"];
    std::atomic<int> ok{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 24; ++t)
        threads.emplace_back([&, t] {
            for (int i = t; i < load["count"].get<int>(); i += 24) {
                char name[32];
                std::snprintf(name, sizeof name, "\\\\%s%03d", load["namePrefix"].get<std::string>().c_str(), i + 1);
                auto hold = net.hold(std::string(name));
                USER_INFO_1 info;
                std::vector<LOCALGROUP_USERS_INFO_0> groups;
                if (net.NetUserGetInfo(name, "Administrator", info) == NERR_Success
                    && net.NetUserGetLocalGroups(name, "Administrator", LG_INCLUDE_INDIRECT, groups) == NERR_Success
                    && groups.size() == 1)
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
