#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/SteadyTickClock.h"
#include "core/search/PingRounds.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

namespace rm {
namespace {

// The rounds over whichever ICMP socket this process gets, pinging loopback
// addresses: each answers once, though a raw socket also reads back every
// request that went out on the loopback interface.
TEST(LinuxIcmpSocketsTest, LoopbackAddressesEachAnswerOnce)
{
    LinuxIcmpSockets sockets;
    const std::unique_ptr<IcmpSocket> socket = sockets.open();
    if (!socket)
        GTEST_SKIP() << "this process may open no ICMP socket";
    std::vector<PingTarget> targets = {
        {"one", false, htonl(0x7F000001)}, {"two", false, htonl(0x7F000002)}, {"three", false, htonl(0x7F000003)}};
    SteadyTickClock clock;
    Progress<SearchProgress> progress;
    CancelToken cancel;
    PingRounds(*socket, clock, progress, cancel).run(targets, 0, 200);
    for (const PingTarget& t : targets)
        EXPECT_TRUE(t.answered) << t.name;
    EXPECT_EQ(progress.value().liveness.pingsSent, 3);
    EXPECT_EQ(progress.value().liveness.repliesReceived, 3);
}

} // namespace
} // namespace rm
