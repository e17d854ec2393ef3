#include "LabSupport.h"
#include "core/messages/SearchMessages.h"
#include "core/search/PingSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <set>

namespace rm {
namespace {

using nlohmann::json;
using Names = std::vector<std::string>;

class PingLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();

    std::string numbered(const json& group, int i) const
    {
        char name[64];
        std::snprintf(name, sizeof name, "%s%03d", group["namePrefix"].get<std::string>().c_str(), i);
        return name;
    }
    // Every live computer of the lab, the offline name and some unreachable
    // addresses; and which of them should go.
    Names names(std::set<std::string>& offline) const
    {
        Names all = {lab.json["domain"]["controller"]["name"], lab.json["blackhole"]["name"]};
        for (const json& m : lab.json["members"])
            all.push_back(m["name"]);
        for (int i = 1; i <= 20; ++i)
            all.push_back(numbered(lab.json["load"], i));
        offline.insert(lab.json["offline"]["name"].get<std::string>());
        for (int i = 1; i <= 20; ++i)
            offline.insert(numbered(lab.json["unreachable"], i));
        all.insert(all.end(), offline.begin(), offline.end());
        return all;
    }
    // The probe run as a lab user of the client namespace: what it printed.
    Names runAs(const std::string& user, const Names& names) const
    {
        std::string command = "setpriv --reuid=" + user + " --regid=nogroup --init-groups --inh-caps=-all " PING_PROBE;
        for (const std::string& n : names)
            command += " " + n;
        Names lines;
        FILE* out = ::popen(command.c_str(), "r");
        char line[4096];
        while (out && std::fgets(line, sizeof line, out)) {
            std::string s(line);
            if (!s.empty() && s.back() == '\n')
                s.pop_back();
            lines.push_back(s);
        }
        EXPECT_EQ(out ? ::pclose(out) : -1, 0) << command;
        return lines;
    }
    // Whether the namespace lets this group open ICMP datagram sockets.
    static bool pingAllowed(const std::string& group)
    {
        const ::group* g = ::getgrnam(group.c_str());
        std::ifstream range("/proc/sys/net/ipv4/ping_group_range");
        unsigned low = 1, high = 0;
        range >> low >> high;
        return g && low <= g->gr_gid && g->gr_gid <= high;
    }
};

TEST_F(PingLabTest, AsRootTheRawSocketFindsExactlyTheOfflineOnes)
{
    ASSERT_TRUE(LinuxIcmpSockets().open());
    std::set<std::string> offline;
    const Names all = names(offline);
    AddrInfoResolver resolver;
    LinuxIcmpSockets sockets;
    PosixThreadStarter threads;
    SteadyTickClock clock;
    Progress<SearchProgress> progress;
    CancelToken cancel;
    LivenessFailure failure = LivenessFailure::NoIcmpSocket;
    const Names silent = PingSweep({resolver, sockets, threads, clock}, progress, cancel).run(all, failure);
    EXPECT_EQ(failure, LivenessFailure::None);
    EXPECT_EQ(std::set<std::string>(silent.begin(), silent.end()), offline);
    // In the order of the names given.
    EXPECT_TRUE(std::is_sorted(silent.begin(), silent.end(), [&](const std::string& a, const std::string& b) {
        return std::find(all.begin(), all.end(), a) < std::find(all.begin(), all.end(), b);
    }));
    const LivenessProgress p = progress.value().liveness;
    EXPECT_EQ(p.repliesReceived, static_cast<int>(all.size() - offline.size()));
    EXPECT_EQ(p.round, 10);
}

TEST_F(PingLabTest, AnUnprivilegedUserGetsTheDatagramSocketOrTheError)
{
    const json& users = lab.json["clientUsers"];
    if (!::getpwnam(users["pinger"].get<std::string>().c_str()))
        GTEST_SKIP() << "the lab has no client users: lab/up adds them";
    std::set<std::string> offline;
    const Names all = names(offline);
    const std::string error = "error:" + livenessFailureMessage(LivenessFailure::NoIcmpSocket)->text;
    // The error text spans lines: compare what was printed as one text.
    auto joined = [](const Names& lines) {
        std::string text;
        for (const std::string& l : lines)
            text += (text.empty() ? "" : "\n") + l;
        return text;
    };
    const Names pinger = runAs(users["pinger"], all);
    if (pingAllowed(users["pingGroup"])) {
        EXPECT_EQ(std::set<std::string>(pinger.begin(), pinger.end()), offline);
    } else {
        EXPECT_EQ(joined(pinger), error);
    }
    // Outside the ping group: neither socket, nothing removed.
    EXPECT_EQ(joined(runAs(users["other"], all)), error);
}

} // namespace
} // namespace rm
