#include "core/search/EchoMessage.h"
#include "core/search/PingScanWorker.h"
#include "core/search/PingSweep.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "support/Doubles.h"
#include "support/FakeIcmp.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;

class RefusingThreads : public ThreadStarter {
public:
    bool start(std::function<void()>, std::size_t, Priority) override { return false; }
};

// Remembers every stack size and priority asked for.
class RecordingThreads : public PosixThreadStarter {
public:
    bool start(std::function<void()> work, std::size_t stack, Priority priority) override
    {
        std::lock_guard lock(mutex);
        stacks.push_back(stack);
        priorities.push_back(priority);
        return PosixThreadStarter::start(std::move(work), stack, priority);
    }
    std::mutex mutex;
    std::vector<std::size_t> stacks;
    std::vector<Priority> priorities;
};

TEST(EchoMessageTest, RequestLayout)
{
    const auto m = echo::request(0x01020304, 0xABCD);
    ASSERT_EQ(m.size(), 40u);
    EXPECT_EQ(m[0], 8);
    EXPECT_EQ(m[1], 0);
    EXPECT_EQ(m[4], 0x04); // identifier: the index's low 16 bits, little-endian
    EXPECT_EQ(m[5], 0x03);
    EXPECT_EQ(m[6], 0xCD); // sequence, little-endian
    EXPECT_EQ(m[7], 0xAB);
    EXPECT_EQ((std::vector<std::uint8_t>(m.begin() + 8, m.begin() + 16)),
              (std::vector<std::uint8_t>{0x04, 0x03, 0x02, 0x01, 0x0D, 0x10, 0x0B, 0x0B}));
    for (std::size_t i = 16; i < 40; ++i)
        EXPECT_EQ(m[i], 0) << i;
    // A message with its checksum in place sums to zero.
    EXPECT_EQ(echo::internetChecksum(m.data(), m.size()), 0);
    auto zeroed = m;
    zeroed[2] = zeroed[3] = 0;
    EXPECT_EQ(echo::internetChecksum(zeroed.data(), zeroed.size()), m[2] << 8 | m[3]);
}

TEST(EchoMessageTest, ChecksumOfRfc1071Example)
{
    // RFC 1071's worked example sums to 0xDDF2.
    const std::uint8_t bytes[] = {0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7};
    EXPECT_EQ(echo::internetChecksum(bytes, sizeof bytes), 0xFFFF - 0xDDF2);
    const std::uint8_t odd[] = {0x01};
    EXPECT_EQ(echo::internetChecksum(odd, 1), 0xFFFF - 0x0100);
}

TEST(EchoMessageTest, ReplyRule)
{
    const auto request = echo::request(7, 1);
    auto reply = FakeIcmp::replyTo({request.begin(), request.end()});
    EXPECT_EQ(echo::replyIndex(reply.data(), reply.size()), 7u);
    // The type, the checksum and the rest are not looked at; only 36 bytes are needed.
    reply[20] = 99;
    reply[22] = 0;
    EXPECT_EQ(echo::replyIndex(reply.data(), 36), 7u);
    EXPECT_EQ(echo::replyIndex(reply.data(), 35), std::nullopt);
    EXPECT_EQ(echo::replyIndex(reply.data(), 0), std::nullopt);
    reply[35] = 0x0C;
    EXPECT_EQ(echo::replyIndex(reply.data(), reply.size()), std::nullopt);
}

TEST(PingDisplayTest, OneRefreshWaitsAtATime)
{
    RecordingPoster window;
    PingDisplay display;
    display.countRequestSent(); // no window yet: nothing posted
    display.setWindow(&window);
    display.countRequestSent();
    display.countReply();
    display.setStatusText("a");
    display.setElapsedText("1.0 seconds");
    ASSERT_EQ(window.posts.size(), 1u);
    EXPECT_EQ(window.posts[0].message, MessageProgress);
    EXPECT_EQ(window.posts[0].wParam, 0u);
    EXPECT_EQ(window.posts[0].lParam, 0);
    EXPECT_EQ(display.takeForRefresh(), (PingDisplay::Values{2, 1, "1.0 seconds", "a"}));
    display.setStatusText("b");
    EXPECT_EQ(window.posts.size(), 2u);
    EXPECT_EQ(PingDisplay().values(), (PingDisplay::Values{0, 0, "---", "Initializing ..."}));
}

class PingSweepTest : public ::testing::Test {
protected:
    ScriptedClock clock;
    FakeResolver resolver;
    FakeIcmp network{clock};
    PosixThreadStarter threads;
    PingDisplay display;
    std::atomic<bool> cancel{false};

    // Names N0..N(n-1) at addresses 10.0.0.1.., every one answering unless told.
    Names names(int n, bool answering = true)
    {
        Names all;
        for (int i = 0; i < n; ++i) {
            all.push_back("N" + std::to_string(i));
            resolver.addresses[all.back()] = address(i);
            if (answering)
                network.answering.push_back(address(i));
        }
        return all;
    }
    static std::uint32_t address(int i) { return htonl(0x0A000001 + i); }

    PingSweep::Outcome sweep(const Names& n, ThreadStarter* starter = nullptr)
    {
        PingSweep s({resolver, network, starter ? *starter : threads, clock}, display, cancel);
        return s.run(n, 8, 500);
    }
    static Names removed(const PingSweep::Outcome& o)
    {
        EXPECT_TRUE(std::holds_alternative<Names>(o));
        return std::holds_alternative<Names>(o) ? std::get<Names>(o) : Names{"<aborted>"};
    }
};

TEST_F(PingSweepTest, EveryoneAnsweringEndsAfterTwoRounds)
{
    const Names all = names(5);
    EXPECT_EQ(removed(sweep(all)), Names{});
    const auto v = display.values();
    EXPECT_EQ(v.pingsSent, 5);
    EXPECT_EQ(v.repliesReceived, 5);
    EXPECT_EQ(v.statusText, "Ping scanning, round 2 ...");
    // Round 2 began once round 1's wait had seen 500 ms of silence.
    EXPECT_EQ(v.elapsedText, "0.5 seconds");
    EXPECT_EQ(network.opened, 1);
    EXPECT_EQ(network.closed, 1);
}

TEST_F(PingSweepTest, NobodyAnsweringRunsNineRounds)
{
    Names all = names(4, false);
    all.push_back("UNRESOLVED");
    EXPECT_EQ(removed(sweep(all)), all);
    const auto v = display.values();
    EXPECT_EQ(v.pingsSent, 9 * 4); // the name that did not resolve is never pinged
    EXPECT_EQ(v.repliesReceived, 0);
    EXPECT_EQ(v.statusText, "Ping scanning, round 9 ...");
    EXPECT_EQ(v.elapsedText, "4.0 seconds");
    for (const auto& s : network.sent)
        EXPECT_NE(s.address, 0u);
}

TEST_F(PingSweepTest, ARoundWithRepliesStartsTheSilentCountAgain)
{
    // Target 1 answers only its third request: 3 rounds, then 9 silent ones for target 0.
    const Names all = names(2, true);
    int asked = 0;
    network.replyDelay = [&](const FakeIcmp::Sent& s) {
        return FakeIcmp::indexOf(s) == 1 && ++asked == 3 ? 5u : ~0u;
    };
    EXPECT_EQ(removed(sweep(all)), Names{"N0"});
    EXPECT_EQ(display.values().statusText, "Ping scanning, round 12 ...");
    EXPECT_EQ(display.values().pingsSent, 3 * 2 + 9);
}

TEST_F(PingSweepTest, TheRequestsCarryIndexSequenceAndMarker)
{
    const Names all = names(3, false);
    network.answering = {address(1)};
    sweep(all);
    ASSERT_GE(network.sent.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& s = network.sent[i];
        EXPECT_EQ(FakeIcmp::indexOf(s), i);
        EXPECT_EQ(s.address, address(static_cast<int>(i)));
        const auto expected = echo::request(static_cast<std::uint32_t>(i), FakeIcmp::sequenceOf(s));
        EXPECT_EQ(s.message, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    }
    // One counter for every request of the process: on from the last sweep, never back to 1.
    for (std::size_t i = 1; i < network.sent.size(); ++i)
        EXPECT_EQ(FakeIcmp::sequenceOf(network.sent[i]), std::uint16_t(FakeIcmp::sequenceOf(network.sent[i - 1]) + 1));
    const std::uint16_t last = FakeIcmp::sequenceOf(network.sent.back());
    network.sent.clear();
    PingDisplay second;
    PingSweep({resolver, network, threads, clock}, second, cancel).run(all, 8, 500);
    EXPECT_EQ(FakeIcmp::sequenceOf(network.sent.front()), std::uint16_t(last + 1));
}

TEST_F(PingSweepTest, TwoNamesOfOneAddressEachNeedTheirOwnReply)
{
    Names all = names(1);
    all.push_back("ALIAS");
    resolver.addresses["ALIAS"] = address(0);
    // Only the first name's requests are answered.
    network.replyDelay = [](const FakeIcmp::Sent& s) { return FakeIcmp::indexOf(s) == 0 ? 5u : ~0u; };
    EXPECT_EQ(removed(sweep(all)), Names{"ALIAS"});
    EXPECT_EQ(FakeIcmp::indexOf(network.sent[1]), 1u);
    EXPECT_EQ(network.sent[1].address, address(0));

    network.replyDelay = nullptr;
    PingDisplay second;
    EXPECT_EQ(removed(PingSweep({resolver, network, threads, clock}, second, cancel).run(all, 8, 500)), Names{});
    EXPECT_EQ(second.values().repliesReceived, 2);
}

TEST_F(PingSweepTest, ALateReplyIsCountedToo)
{
    const Names all = names(1);
    int asked = 0;
    // Round 1's reply comes after its wait (700 ms), round 2's at once.
    network.replyDelay = [&](const FakeIcmp::Sent&) { return ++asked == 1 ? 700u : 10u; };
    EXPECT_EQ(removed(sweep(all)), Names{});
    EXPECT_EQ(display.values().pingsSent, 2);
    EXPECT_EQ(display.values().repliesReceived, 2);
    EXPECT_EQ(display.values().statusText, "Ping scanning, round 3 ...");
}

TEST_F(PingSweepTest, TheElapsedTimeShowsOnlyFromTheFirstRound)
{
    const Names all = names(2, false);
    std::vector<std::string> whileResolving;
    resolver.onResolve = [&](const std::string&) {
        static std::mutex m;
        std::lock_guard lock(m);
        whileResolving.push_back(display.values().elapsedText);
    };
    std::string statusAtOpen;
    network.onOpen = [&] { statusAtOpen = display.values().statusText; };
    std::vector<std::string> elapsedAtSend;
    network.onSend = [&](const FakeIcmp::Sent&) { elapsedAtSend.push_back(display.values().elapsedText); };
    clock.ms += 12345; // the time before the rounds does not count
    sweep(all);
    EXPECT_EQ(whileResolving, (std::vector<std::string>{"---", "---"}));
    EXPECT_EQ(statusAtOpen, "2 hostnames resolved, resolving 0 currently, 0 left ...");
    ASSERT_EQ(elapsedAtSend.size(), 18u);
    EXPECT_EQ(elapsedAtSend[0], "0.0 seconds");
    EXPECT_EQ(elapsedAtSend[2], "0.5 seconds");
    EXPECT_EQ(elapsedAtSend[17], "4.0 seconds");
}

TEST_F(PingSweepTest, ResolvingStatusCountsSlots)
{
    // 1030 names: 1024 look-ups run at once, 6 wait for a free slot.
    Names all;
    for (int i = 0; i < 1030; ++i)
        all.push_back("H" + std::to_string(i));
    resolver.hold();
    RecordingThreads recording;
    std::thread release([&] {
        resolver.waitForRunning(PingSweep::ResolverSlots);
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(display.values().statusText, "0 hostnames resolved, resolving 1024 currently, 6 left ...");
        resolver.release();
    });
    EXPECT_EQ(removed(sweep(all, &recording)), all);
    release.join();
    EXPECT_EQ(resolver.maxRunningCount(), PingSweep::ResolverSlots);
    EXPECT_EQ(resolver.doneCount(), 1030);
    EXPECT_EQ(network.sent.size(), 0u); // nothing resolved, nothing pinged
    ASSERT_EQ(recording.stacks.size(), 1030u);
    EXPECT_EQ(recording.stacks[0], 131072u);
    EXPECT_EQ(recording.priorities[0], ThreadStarter::Priority::BelowNormal);
}

TEST_F(PingSweepTest, LookUpsThatCannotStartLeaveTheNameUnresolved)
{
    const Names all = names(3);
    RefusingThreads refusing;
    EXPECT_EQ(removed(sweep(all, &refusing)), all);
    EXPECT_EQ(network.sent.size(), 0u);
    EXPECT_EQ(display.values().statusText, "Ping scanning, round 1 ...");
}

TEST_F(PingSweepTest, CancelWhileResolvingRemovesNothingAndWaitsForTheLookUps)
{
    Names all;
    for (int i = 0; i < 1100; ++i)
        all.push_back("H" + std::to_string(i));
    resolver.hold();
    std::thread canceller([&] {
        resolver.waitForRunning(PingSweep::ResolverSlots);
        cancel = true;
        std::this_thread::sleep_for(50ms);
        resolver.release();
    });
    const auto outcome = sweep(all);
    canceller.join();
    ASSERT_TRUE(std::holds_alternative<PingSweep::Abort>(outcome));
    EXPECT_EQ(std::get<PingSweep::Abort>(outcome), PingSweep::Abort::Cancelled);
    // Every look-up started had ended; none was started after the cancel.
    EXPECT_EQ(resolver.doneCount(), PingSweep::ResolverSlots);
    EXPECT_EQ(network.opened, 0);

    cancel = true;
    EXPECT_EQ(std::get<PingSweep::Abort>(sweep(names(1))), PingSweep::Abort::Cancelled);
    EXPECT_EQ(display.values().statusText, "Resolving hostnames ...");
}

TEST_F(PingSweepTest, CancelDuringTheRoundsRemovesThoseNotYetAnswered)
{
    const Names all = names(3, false);
    network.answering = {address(1)};
    network.onWait = [&](std::uint32_t) {
        if (network.sent.size() > 3) // round 2's wait
            cancel = true;
    };
    EXPECT_EQ(removed(sweep(all)), (Names{"N0", "N2"}));
    EXPECT_EQ(display.values().pingsSent, 3 + 2);
    EXPECT_EQ(display.values().statusText, "Ping scanning, round 2 ...");
    EXPECT_EQ(network.closed, 1);
}

TEST_F(PingSweepTest, NoSocketAborts)
{
    network.refuse = true;
    const auto outcome = sweep(names(2));
    ASSERT_TRUE(std::holds_alternative<PingSweep::Abort>(outcome));
    EXPECT_EQ(std::get<PingSweep::Abort>(outcome), PingSweep::Abort::NoSocket);
}

TEST_F(PingSweepTest, DatagramsThatAreNoValidReplyAreIgnored)
{
    const Names all = names(2, false);
    const auto base = clock.ms.load();
    const auto outOfRange = echo::request(2, 1);
    const auto largest = echo::request(0xFFFFFFFF, 1);
    const auto good = echo::request(1, 1);
    auto marked = FakeIcmp::replyTo({outOfRange.begin(), outOfRange.end()});
    auto huge = FakeIcmp::replyTo({largest.begin(), largest.end()});
    auto shortOne = FakeIcmp::replyTo({good.begin(), good.end()});
    shortOne.resize(35); // marker cut off
    network.arrive(base + 1, marked);
    network.arrive(base + 2, huge);
    network.arrive(base + 3, shortOne);
    network.arrive(base + 4, {});
    network.arrive(base + 5, std::vector<std::uint8_t>(400, 0x0B));
    EXPECT_EQ(removed(sweep(all)), all);
    EXPECT_EQ(display.values().repliesReceived, 0);
}

TEST_F(PingSweepTest, OtherDatagramsCannotHoldTheWaitPastEightTimesTheTimeOut)
{
    // Something unmarked every 100 ms for a minute: each wait ends 4 s after
    // the last valid reply, and nine silent rounds end the sweep.
    const Names all = names(1, false);
    const auto base = clock.ms.load();
    for (std::uint32_t t = 100; t < 60000; t += 100)
        network.arrive(base + t, std::vector<std::uint8_t>(60, 1));
    std::vector<std::uint32_t> sendTimes;
    network.onSend = [&](const FakeIcmp::Sent& s) { sendTimes.push_back(s.at - base); };
    EXPECT_EQ(removed(sweep(all)), all);
    ASSERT_EQ(sendTimes.size(), 9u);
    EXPECT_EQ(sendTimes[0], 0u);
    EXPECT_EQ(sendTimes[1], 4100u);
    EXPECT_EQ(sendTimes[2], 8200u);
}

TEST_F(PingSweepTest, MarkedDatagramsRenewTheWait)
{
    // A marked datagram with an index outside the table is no reply, but it
    // keeps the wait going (here for 2 s, well below the cap).
    const Names all = names(1, false);
    const auto base = clock.ms.load();
    const auto request = echo::request(5, 1);
    for (std::uint32_t t = 400; t <= 2000; t += 400)
        network.arrive(base + t, FakeIcmp::replyTo({request.begin(), request.end()}));
    std::vector<std::uint32_t> sendTimes;
    network.onSend = [&](const FakeIcmp::Sent& s) { sendTimes.push_back(s.at - base); };
    EXPECT_EQ(removed(sweep(all)), all);
    ASSERT_GE(sendTimes.size(), 2u);
    EXPECT_EQ(sendTimes[1], 2500u);
}

TEST(PingScanWorkerTest, ErrorTextsAndResults)
{
    ScriptedClock clock;
    FakeResolver resolver;
    resolver.addresses = {{"A", 1}, {"B", 2}};
    FakeIcmp network(clock);
    network.answering = {2};
    PosixThreadStarter threads;
    {
        RecordingPoster window;
        PingScanWorker w({"A", "B"}, {resolver, network, threads, clock});
        w.start(window);
        w.join();
        EXPECT_TRUE(w.isFinished());
        EXPECT_EQ(w.removalList(), Names{"A"});
        EXPECT_EQ(w.errorText(), "");
        EXPECT_EQ(window.posts.back().message, MessageFinished);
    }
    {
        network.refuse = true;
        RecordingPoster window;
        PingScanWorker w({"A", "B"}, {resolver, network, threads, clock});
        w.start(window);
        w.join();
        EXPECT_EQ(w.removalList(), Names{});
        EXPECT_EQ(w.errorText(),
                  "Unable to perform ping scan for active machines:\n\nYou do not have raw-socket privledges on this "
                  "machine.\n\nThe ping scan is used to eliminate machines that are offline.\nCheck your system "
                  "policies to enable raw-socket access,\nand re-run the scan.\n\nNo machines have been removed.");
    }
    {
        RecordingPoster window;
        PingScanWorker w({"A", "B"}, {resolver, network, threads, clock});
        w.requestCancel();
        w.start(window);
        w.join();
        EXPECT_EQ(w.removalList(), Names{});
        EXPECT_EQ(w.errorText(), "Hostname resolution was aborted. No machines have been removed.");
    }
}

TEST(AddrInfoResolverTest, WholeNamesOnly)
{
    AddrInfoResolver resolver;
    EXPECT_EQ(resolver.resolve("localhost"), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(resolver.resolve("127.0.0.9"), htonl(0x7F000009));
    EXPECT_EQ(resolver.resolve(""), 0u);
    EXPECT_EQ(resolver.resolve(std::string("localhost\0.example", 18)), 0u);
}

} // namespace
} // namespace rm
