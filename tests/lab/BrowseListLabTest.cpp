// The browse list against the lab's master browser: every entry as its
// server really is, and stale entries that cost neither the list nor their
// own type.
#include "HostAnnouncement.h"
#include "adapters/netapi/NetApiClient.h"
#include "support/LabManifest.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr std::uint32_t BrowserBits = 0x00010000 | 0x00020000 | SV_TYPE_MASTER_BROWSER | 0x00080000;

struct ServerInfo {
    std::uint32_t major = 0, minor = 0, type = 0;
};

// What the server itself answers, as Samba's own client tool reads it.
ServerInfo srvinfo(const LabManifest& lab, const std::string& server)
{
    const std::string command = "rpcclient -U '" + lab.operatorAccount() + "%" + lab.operatorPassword()
        + "' -c srvinfo " + server + " 2>&1";
    ServerInfo info;
    FILE* out = ::popen(command.c_str(), "r");
    char line[512];
    while (out && std::fgets(line, sizeof line, out)) {
        std::sscanf(line, " os version : %u.%u", &info.major, &info.minor);
        std::sscanf(line, " server type : %x", &info.type);
    }
    if (out)
        ::pclose(out);
    return info;
}

std::map<std::string, SERVER_INFO_101> byName(const std::vector<SERVER_INFO_101>& servers)
{
    std::map<std::string, SERVER_INFO_101> m;
    for (const auto& s : servers)
        m[s.sv101_name] = s;
    return m;
}

class BrowseListLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    NetApiClient net{{HELPER_PATH, 2, 30000ms}};
    std::string workgroup = lab.json["domain"]["netbios"];

    void SetUp() override { net.setCredentials(lab.operatorAccount(), lab.operatorPassword()); }

    // Polls the list until `done` holds for it (announcements and their
    // withdrawals reach the master's list within seconds to minutes).
    template <class Done>
    std::map<std::string, SERVER_INFO_101> listUntil(Done done, std::chrono::milliseconds* took = nullptr)
    {
        std::map<std::string, SERVER_INFO_101> list;
        for (int attempt = 0; attempt < 60; ++attempt) {
            std::vector<SERVER_INFO_101> servers;
            const auto started = std::chrono::steady_clock::now();
            EXPECT_EQ(net.NetServerEnum(workgroup, SV_TYPE_ALL, servers), NERR_Success);
            if (took)
                *took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
            list = byName(servers);
            if (done(list))
                break;
            std::this_thread::sleep_for(3s);
        }
        return list;
    }
    std::vector<std::string> browsingMembers() const
    {
        std::vector<std::string> names;
        for (const json& host : lab.json["members"])
            if (host["browse"] != "none")
                names.push_back(host["name"]);
        return names;
    }
};

TEST_F(BrowseListLabTest, EveryEntryHasItsServersOwnTypeAndVersion)
{
    const auto members = browsingMembers();
    auto list = listUntil([&](const auto& l) {
        for (const auto& m : members)
            if (!l.count(m))
                return false;
        return true;
    });
    for (const json& host : lab.json["members"]) {
        if (host["browse"] == "none")
            continue;
        const std::string name = host["name"];
        ASSERT_TRUE(list.count(name)) << name;
        const SERVER_INFO_101& s = list[name];
        const ServerInfo own = srvinfo(lab, name);
        ASSERT_NE(own.type, 0u) << name;
        EXPECT_EQ(s.sv101_version_major, own.major) << name;
        EXPECT_EQ(s.sv101_version_minor, own.minor) << name;
        // The list adds what the browsers know of each other.
        EXPECT_EQ(s.sv101_type & ~BrowserBits, own.type & ~BrowserBits) << name;
        EXPECT_EQ((s.sv101_type & SV_TYPE_MASTER_BROWSER) != 0, host["browse"] == "master") << name;
        EXPECT_EQ(s.sv101_platform_id, 500u);
    }
}

TEST_F(BrowseListLabTest, AStaleEntryKeepsItsTypeAndCostsNothingElse)
{
    const std::uint32_t type = SV_TYPE_WORKSTATION | SV_TYPE_SERVER | SV_TYPE_NT | SV_TYPE_SERVER_NT;
    std::chrono::milliseconds took{};
    {
        StaleEntries stale(lab, {lab.json["blackhole"]["name"], lab.json["offline"]["name"], "STALE01"}, type);
        ASSERT_TRUE(stale.announced());
        auto list = listUntil(
            [&](const auto& l) {
                for (const auto& name : stale.names())
                    if (!l.count(name))
                        return false;
                return true;
            },
            &took);
        for (const auto& name : stale.names()) {
            ASSERT_TRUE(list.count(name)) << name;
            // What the list said: no query stands in for it.
            EXPECT_EQ(list[name].sv101_type, type) << name;
            EXPECT_EQ(list[name].sv101_version_major, 0u) << name;
        }
        for (const auto& member : browsingMembers()) {
            ASSERT_TRUE(list.count(member)) << member;
            EXPECT_EQ(list[member].sv101_version_major, srvinfo(lab, member).major) << member;
        }
        // The servers that do not answer cost one short wait, not the call.
        EXPECT_LT(took, 10s);
    }
    // Withdrawn again, for the tests that read the list as the lab built it.
    const auto stale = std::vector<std::string>{lab.json["blackhole"]["name"], lab.json["offline"]["name"], "STALE01"};
    auto list = listUntil([&](const auto& l) {
        for (const auto& name : stale)
            if (l.count(name))
                return false;
        return true;
    });
    for (const auto& name : stale)
        EXPECT_EQ(list.count(name), 0u) << name;
}

} // namespace
} // namespace rm
