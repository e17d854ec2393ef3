// The browse list against the lab's master browser: every entry as its
// server really is, and stale entries that cost neither the list nor their
// own type.
#include "HostAnnouncement.h"
#include "LabSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

// The type bits of browsers, which the list adds to what a server says of itself.
constexpr std::uint32_t MasterBrowser = 0x00040000;
constexpr std::uint32_t BrowserBits = 0x00010000 | 0x00020000 | MasterBrowser | 0x00080000;

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

std::map<std::string, BrowseEntry> byName(const std::vector<BrowseEntry>& servers)
{
    std::map<std::string, BrowseEntry> m;
    for (const auto& s : servers)
        m[s.name] = s;
    return m;
}

class BrowseListLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    OperatorClient net{lab, 2};
    std::string workgroup = lab.json["domain"]["netbios"];

    // Polls the list until `done` holds for it (announcements and their
    // withdrawals reach the master's list within seconds to minutes).
    template <class Done>
    std::map<std::string, BrowseEntry> listUntil(Done done, std::chrono::milliseconds* took = nullptr)
    {
        std::map<std::string, BrowseEntry> list;
        for (int attempt = 0; attempt < 60; ++attempt) {
            std::vector<BrowseEntry> servers;
            const auto started = std::chrono::steady_clock::now();
            EXPECT_EQ(net.browseList(workgroup, servers), NetStatus::Success);
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
        const BrowseEntry& s = list[name];
        const ServerInfo own = srvinfo(lab, name);
        ASSERT_NE(own.type, 0u) << name;
        EXPECT_EQ(s.versionMajor, own.major) << name;
        EXPECT_EQ(s.versionMinor, own.minor) << name;
        // The list adds what the browsers know of each other.
        EXPECT_EQ(s.type & ~BrowserBits, own.type & ~BrowserBits) << name;
        EXPECT_EQ((s.type & MasterBrowser) != 0, host["browse"] == "master") << name;
    }
}

TEST_F(BrowseListLabTest, AStaleEntryKeepsItsTypeAndCostsNothingElse)
{
    const std::uint32_t type = 0x0001 | 0x0002 | BrowseType::Nt | BrowseType::ServerNt; // a workstation and server
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
            EXPECT_EQ(list[name].type, type) << name;
            EXPECT_EQ(list[name].versionMajor, 0u) << name;
        }
        for (const auto& member : browsingMembers()) {
            ASSERT_TRUE(list.count(member)) << member;
            EXPECT_EQ(list[member].versionMajor, srvinfo(lab, member).major) << member;
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
