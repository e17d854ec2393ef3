// The ping step: the echo message, the sweep's look-ups and rounds on a
// manual clock, and what a cancel or a missing socket leaves.
#include "core/messages/SearchMessages.h"
#include "core/search/EchoMessage.h"
#include "core/search/PingSweep.h"
#include "support/FakeIcmp.h"
#include "support/TestThreads.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <mutex>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;
using Names = std::vector<std::string>;
using Phase = LivenessProgress::Phase;

// Remembers every stack size and priority asked for.
class RecordingThreads : public TestThreads {
public:
    bool start(std::function<void()> work, std::size_t stack, Priority priority) override
    {
        {
            std::lock_guard lock(mutex);
            stacks.push_back(stack);
            priorities.push_back(priority);
        }
        return TestThreads::start(std::move(work), stack, priority);
    }
    std::mutex mutex;
    std::vector<std::size_t> stacks;
    std::vector<Priority> priorities;
};

TEST(EchoMessageTest, RequestLayout)
{
    const auto m = echo::request(0x01020304, 0x5A17, 0xABCD);
    ASSERT_EQ(m.size(), 40u);
    EXPECT_EQ(m[0], 8);
    EXPECT_EQ(m[1], 0);
    EXPECT_EQ(m[4], 0x5A); // identifier and sequence in network byte order
    EXPECT_EQ(m[5], 0x17);
    EXPECT_EQ(m[6], 0xAB);
    EXPECT_EQ(m[7], 0xCD);
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

TEST(EchoMessageTest, WhatAReplySaysAndWhatIsNoReply)
{
    const auto request = echo::request(7, 0x1234, 0xBEEF);
    const std::uint32_t from = htonl(0x0A000009);
    const auto reply = FakeIcmp::replyTo({request.begin(), request.end()}, from);
    auto parsed = [](const std::vector<std::uint8_t>& d, std::size_t size) { return echo::parseReply(d.data(), size); };
    const auto r = parsed(reply, reply.size());
    ASSERT_TRUE(r);
    EXPECT_EQ(r->source, from);
    EXPECT_EQ(r->identifier, 0x1234);
    EXPECT_EQ(r->sequence, 0xBEEF);
    EXPECT_EQ(r->index, 7u);
    // Header and 16 bytes are needed; the checksum is not looked at.
    EXPECT_TRUE(parsed(reply, 36));
    EXPECT_FALSE(parsed(reply, 35));
    EXPECT_FALSE(parsed(reply, 0));
    auto unsealed = reply;
    unsealed[22] ^= 0xFF;
    EXPECT_TRUE(parsed(unsealed, unsealed.size()));

    // A header with options, as a raw socket gives it: the message starts after them.
    auto withOptions = reply;
    withOptions[0] = 0x46;
    withOptions.insert(withOptions.begin() + 20, {1, 1, 1, 0});
    const auto o = parsed(withOptions, withOptions.size());
    ASSERT_TRUE(o);
    EXPECT_EQ(o->index, 7u);
    EXPECT_EQ(o->sequence, 0xBEEF);
    EXPECT_FALSE(parsed(withOptions, 39));

    // One byte changed: no echo reply of ours.
    const std::pair<std::size_t, std::uint8_t> changes[] = {
        {0, 0x44},  // a header shorter than 20 bytes
        {0, 0x65},  // not IPv4
        {9, 17},    // not ICMP
        {20, 8},    // an echo request
        {20, 3},    // destination unreachable
        {21, 1},    // another code
        {35, 0x0C}, // another marker
    };
    for (const auto& [at, value] : changes) {
        auto d = reply;
        d[at] = value;
        EXPECT_FALSE(parsed(d, d.size())) << at << " " << int(value);
    }
}

class PingSweepTest : public ::testing::Test {
protected:
    ManualClock clock;
    FakeResolver resolver;
    FakeIcmp network{clock};
    TestThreads threads;
    Progress<SearchProgress> progress;
    CancelToken cancel;
    LivenessFailure failure = LivenessFailure::None;

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

    // The names that never answered; the sweep itself must have run to its rounds.
    Names removed(const Names& n, ThreadStarter* starter = nullptr, Progress<SearchProgress>* shown = nullptr)
    {
        Names silent = PingSweep({resolver, network, starter ? *starter : threads, clock}, shown ? *shown : progress,
                                 cancel)
                           .run(n, failure, 8, 500);
        EXPECT_EQ(failure, LivenessFailure::None);
        return silent;
    }
    LivenessProgress shown() const { return progress.value().liveness; }
};

TEST_F(PingSweepTest, EveryoneAnsweringEndsAfterTwoRounds)
{
    const Names all = names(5);
    EXPECT_EQ(removed(all), Names{});
    const LivenessProgress l = shown();
    EXPECT_EQ(l.pingsSent, 5);
    EXPECT_EQ(l.repliesReceived, 5);
    EXPECT_EQ(l.phase, Phase::Pinging);
    EXPECT_EQ(l.round, 2);
    // Round 2 began once round 1's wait had seen 500 ms of silence after
    // the replies, which came after 5 ms.
    EXPECT_EQ(l.elapsedMs, 505u);
    EXPECT_EQ(network.opened, 1);
    EXPECT_EQ(network.closed, 1);
}

TEST_F(PingSweepTest, NobodyAnsweringRunsNineRounds)
{
    Names all = names(4, false);
    all.push_back("UNRESOLVED");
    EXPECT_EQ(removed(all), all);
    const LivenessProgress l = shown();
    EXPECT_EQ(l.pingsSent, 9 * 4); // the name that did not resolve is never pinged
    EXPECT_EQ(l.repliesReceived, 0);
    EXPECT_EQ(l.round, 9);
    EXPECT_EQ(l.elapsedMs, 4000u);
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
    EXPECT_EQ(removed(all), Names{"N0"});
    EXPECT_EQ(shown().round, 12);
    EXPECT_EQ(shown().pingsSent, 3 * 2 + 9);
}

TEST_F(PingSweepTest, TheRequestsCarryIndexIdentifierSequenceAndMarker)
{
    const Names all = names(3, false);
    network.answering = {address(1)};
    network.identifier = 0x7E01; // the socket's, not one of the core's own
    removed(all);
    ASSERT_GE(network.sent.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& s = network.sent[i];
        EXPECT_EQ(FakeIcmp::indexOf(s), i);
        EXPECT_EQ(s.address, address(static_cast<int>(i)));
        const auto expected = echo::request(static_cast<std::uint32_t>(i), 0x7E01, FakeIcmp::sequenceOf(s));
        EXPECT_EQ(s.message, std::vector<std::uint8_t>(expected.begin(), expected.end()));
    }
    // One counter for every request of the process: on from the last sweep, never back to 1.
    for (std::size_t i = 1; i < network.sent.size(); ++i)
        EXPECT_EQ(FakeIcmp::sequenceOf(network.sent[i]), std::uint16_t(FakeIcmp::sequenceOf(network.sent[i - 1]) + 1));
    const std::uint16_t last = FakeIcmp::sequenceOf(network.sent.back());
    network.sent.clear();
    removed(all);
    EXPECT_EQ(FakeIcmp::sequenceOf(network.sent.front()), std::uint16_t(last + 1));
}

TEST_F(PingSweepTest, TwoNamesOfOneAddressEachNeedTheirOwnReply)
{
    Names all = names(1);
    all.push_back("ALIAS");
    resolver.addresses["ALIAS"] = address(0);
    // Only the first name's requests are answered.
    network.replyDelay = [](const FakeIcmp::Sent& s) { return FakeIcmp::indexOf(s) == 0 ? 5u : ~0u; };
    EXPECT_EQ(removed(all), Names{"ALIAS"});
    EXPECT_EQ(FakeIcmp::indexOf(network.sent[1]), 1u);
    EXPECT_EQ(network.sent[1].address, address(0));

    network.replyDelay = nullptr;
    Progress<SearchProgress> second;
    EXPECT_EQ(removed(all, nullptr, &second), Names{});
    EXPECT_EQ(second.value().liveness.repliesReceived, 2);
}

TEST_F(PingSweepTest, ALateReplyCountsAndARepeatedOneDoesNot)
{
    const Names all = names(1);
    int asked = 0;
    // Round 1's reply comes after its wait (700 ms), round 2's never.
    network.replyDelay = [&](const FakeIcmp::Sent&) { return ++asked == 1 ? 700u : ~0u; };
    EXPECT_EQ(removed(all), Names{});
    EXPECT_EQ(shown().pingsSent, 2);
    EXPECT_EQ(shown().repliesReceived, 1);
    EXPECT_EQ(shown().round, 3);

    // Both rounds answered, the first late: one reply counts.
    asked = 0;
    network.replyDelay = [&](const FakeIcmp::Sent&) { return ++asked == 1 ? 700u : 10u; };
    Progress<SearchProgress> second;
    EXPECT_EQ(removed(all, nullptr, &second), Names{});
    EXPECT_EQ(second.value().liveness.pingsSent, 2);
    EXPECT_EQ(second.value().liveness.repliesReceived, 1);
}

TEST_F(PingSweepTest, TheRoundsAreTimedFromTheFirstAfterTheLookUps)
{
    const Names all = names(2, false);
    std::vector<int> roundWhileResolving;
    std::mutex m;
    resolver.onResolve = [&](const std::string&) {
        std::lock_guard lock(m);
        roundWhileResolving.push_back(shown().round);
    };
    LivenessProgress atOpen;
    network.onOpen = [&] { atOpen = shown(); };
    std::vector<std::uint32_t> elapsedAtSend;
    network.onSend = [&](const FakeIcmp::Sent&) { elapsedAtSend.push_back(shown().elapsedMs); };
    clock.ms += 12345; // the time before the rounds does not count
    removed(all);
    EXPECT_EQ(roundWhileResolving, (std::vector<int>{0, 0}));
    EXPECT_EQ(atOpen.phase, Phase::Resolving);
    EXPECT_TRUE(atOpen.resolutionCounted);
    EXPECT_EQ(atOpen.resolved, 2);
    EXPECT_EQ(atOpen.resolving, 0);
    EXPECT_EQ(atOpen.unresolved, 0u);
    ASSERT_EQ(elapsedAtSend.size(), 18u);
    EXPECT_EQ(elapsedAtSend[0], 0u);
    EXPECT_EQ(elapsedAtSend[2], 500u);
    EXPECT_EQ(elapsedAtSend[17], 4000u);
}

TEST_F(PingSweepTest, LookUpsRunInSlotsCounted)
{
    // 1030 names: 1024 look-ups run at once, 6 wait for a free slot.
    Names all;
    for (int i = 0; i < 1030; ++i)
        all.push_back("H" + std::to_string(i));
    resolver.hold();
    RecordingThreads recording;
    LivenessProgress whileHeld;
    std::thread release([&] {
        resolver.waitForRunning(PingSweep::Resolvers);
        std::this_thread::sleep_for(50ms);
        whileHeld = shown();
        resolver.release();
    });
    EXPECT_EQ(removed(all, &recording), all);
    release.join();
    EXPECT_EQ(whileHeld.phase, Phase::Resolving);
    EXPECT_EQ(whileHeld.resolved, 0);
    EXPECT_EQ(whileHeld.resolving, 1024);
    EXPECT_EQ(whileHeld.unresolved, 6u);
    EXPECT_EQ(resolver.maxRunningCount(), static_cast<int>(PingSweep::Resolvers));
    EXPECT_EQ(resolver.doneCount(), 1030);
    EXPECT_EQ(network.sent.size(), 0u); // nothing resolved, nothing pinged
    std::lock_guard lock(recording.mutex);
    ASSERT_EQ(recording.stacks.size(), 1024u);
    EXPECT_EQ(recording.stacks[0], 131072u);
    EXPECT_EQ(recording.priorities[0], ThreadStarter::Priority::BelowNormal);
}

TEST_F(PingSweepTest, LookUpsThatCannotStartLeaveTheNameUnresolved)
{
    const Names all = names(3);
    threads.refused = -1;
    EXPECT_EQ(removed(all), all);
    EXPECT_EQ(network.sent.size(), 0u);
    EXPECT_EQ(shown().resolved, 3);
    EXPECT_EQ(shown().phase, Phase::Pinging);
    EXPECT_EQ(shown().round, 1);
}

TEST_F(PingSweepTest, CancelWhileResolvingRemovesNothingAndWaitsForTheLookUps)
{
    Names all;
    for (int i = 0; i < 1100; ++i)
        all.push_back("H" + std::to_string(i));
    resolver.hold();
    std::thread canceller([&] {
        resolver.waitForRunning(PingSweep::Resolvers);
        cancel.cancel();
        std::this_thread::sleep_for(50ms);
        resolver.release();
    });
    const Names silent = PingSweep({resolver, network, threads, clock}, progress, cancel).run(all, failure);
    canceller.join();
    EXPECT_TRUE(silent.empty());
    EXPECT_EQ(failure, LivenessFailure::ResolutionCancelled);
    // Every look-up started had ended; none was started after the cancel.
    EXPECT_EQ(resolver.doneCount(), static_cast<int>(PingSweep::Resolvers));
    EXPECT_EQ(network.opened, 0);

    // Cancelled before it began: not one look-up.
    Progress<SearchProgress> second;
    EXPECT_TRUE(PingSweep({resolver, network, threads, clock}, second, cancel).run(names(1), failure).empty());
    EXPECT_EQ(failure, LivenessFailure::ResolutionCancelled);
    EXPECT_EQ(second.value().liveness.phase, Phase::Resolving);
    EXPECT_FALSE(second.value().liveness.resolutionCounted);
    EXPECT_EQ(resolver.doneCount(), static_cast<int>(PingSweep::Resolvers));
}

TEST_F(PingSweepTest, CancelDuringTheRoundsRemovesThoseNotYetAnswered)
{
    const Names all = names(3, false);
    network.answering = {address(1)};
    network.onWait = [&](std::uint32_t) {
        if (network.sent.size() > 3) // round 2's wait
            cancel.cancel();
    };
    EXPECT_EQ(removed(all), (Names{"N0", "N2"}));
    EXPECT_EQ(shown().pingsSent, 3 + 2);
    EXPECT_EQ(shown().round, 2);
    EXPECT_EQ(network.closed, 1);
}

TEST_F(PingSweepTest, NoSocketRemovesNothing)
{
    network.refuse = true;
    const Names silent = PingSweep({resolver, network, threads, clock}, progress, cancel).run(names(2), failure);
    EXPECT_TRUE(silent.empty());
    EXPECT_EQ(failure, LivenessFailure::NoIcmpSocket);
}

TEST(LivenessFailureMessage, TheTextsOfTheTwoFailures)
{
    EXPECT_EQ(livenessFailureMessage(LivenessFailure::None), std::nullopt);
    EXPECT_EQ(livenessFailureMessage(LivenessFailure::NoIcmpSocket),
              (Message{"Error",
                       "Unable to perform ping scan for active machines:\n\nYou do not have raw-socket privledges on "
                       "this machine.\n\nThe ping scan is used to eliminate machines that are offline.\nCheck your "
                       "system policies to enable raw-socket access,\nand re-run the scan.\n\nNo machines have been "
                       "removed.",
                       MessageButtons::Ok, MessageIcon::Information}));
    EXPECT_EQ(livenessFailureMessage(LivenessFailure::ResolutionCancelled)->text,
              "Hostname resolution was aborted. No machines have been removed.");
}

TEST_F(PingSweepTest, DatagramsThatAreNoValidReplyAreIgnored)
{
    const Names all = names(2, false);
    const auto base = clock.ms.load();
    const auto outOfRange = echo::request(2, network.identifier, 1);
    const auto largest = echo::request(0xFFFFFFFF, network.identifier, 1);
    const auto good = echo::request(1, network.identifier, 1);
    auto marked = FakeIcmp::replyTo({outOfRange.begin(), outOfRange.end()}, address(1));
    auto huge = FakeIcmp::replyTo({largest.begin(), largest.end()}, address(1));
    auto shortOne = FakeIcmp::replyTo({good.begin(), good.end()}, address(1));
    shortOne.resize(35); // marker cut off
    network.arrive(base + 1, marked);
    network.arrive(base + 2, huge);
    network.arrive(base + 3, shortOne);
    network.arrive(base + 4, {});
    network.arrive(base + 5, std::vector<std::uint8_t>(400, 0x0B));
    EXPECT_EQ(removed(all), all);
    EXPECT_EQ(shown().repliesReceived, 0);
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
    EXPECT_EQ(removed(all), all);
    ASSERT_EQ(sendTimes.size(), 9u);
    EXPECT_EQ(sendTimes[0], 0u);
    EXPECT_EQ(sendTimes[1], 4100u);
    EXPECT_EQ(sendTimes[2], 8200u);
}

TEST_F(PingSweepTest, ForgedAndRepeatedRepliesNeitherCountNorHoldTheSweep)
{
    // N0 answers its one request, N1 never. Then, every 300 ms for an hour,
    // one of six datagrams made from their requests, each a valid reply but
    // for one thing: N1's reply from N0's address, with another identifier,
    // with N0's sequence number, with one never sent, as an echo request; and
    // N0's reply again.
    const Names all = names(2, false);
    network.answering = {address(0)};
    const std::uint32_t base = clock.ms.load();
    std::vector<std::uint8_t> first; // N0's request
    std::vector<std::uint32_t> sendTimes;
    network.onSend = [&](const FakeIcmp::Sent& s) {
        sendTimes.push_back(s.at - base);
        if (s.at != base)
            return;
        if (FakeIcmp::indexOf(s) == 0) {
            first = s.message;
            return;
        }
        auto changed = [&](std::size_t at, std::uint8_t value) {
            std::vector<std::uint8_t> m = s.message;
            m[at] = value;
            return FakeIcmp::replyTo(m, address(1));
        };
        auto request = FakeIcmp::replyTo(s.message, address(1));
        request[20] = 8;
        FakeIcmp::sealChecksum(request);
        const std::vector<std::vector<std::uint8_t>> forged = {
            FakeIcmp::replyTo(s.message, address(0)),
            changed(4, s.message[4] ^ 0x80),
            [&] {
                std::vector<std::uint8_t> m = s.message;
                m[6] = first[6], m[7] = first[7];
                return FakeIcmp::replyTo(m, address(1));
            }(),
            changed(6, s.message[6] ^ 0x40),
            request,
            FakeIcmp::replyTo(first, address(0)),
        };
        for (std::uint32_t t = 300, i = 0; t <= 3600000; t += 300, ++i)
            network.arrive(base + t, forged[i % forged.size()]);
    };
    EXPECT_EQ(removed(all), Names{"N1"});
    EXPECT_EQ(shown().repliesReceived, 1);
    EXPECT_EQ(shown().pingsSent, 2 + 9);
    // Each wait ends at the first datagram more than 4 s after the last valid
    // reply: ten rounds of 4.2 s, not an hour.
    EXPECT_EQ(clock.ms.load() - base, 42000u);
    ASSERT_EQ(sendTimes.size(), 11u);
    EXPECT_EQ(sendTimes[2], 4200u);
    EXPECT_EQ(sendTimes[10], 37800u);
}

TEST_F(PingSweepTest, AReplyQueuedWhenTheCapIsReachedIsStillRead)
{
    // Other traffic every 300 ms holds each wait to its cap (4.2 s); the
    // ninth and last round's reply arrives at 4.1 s, just past the cap.
    const Names all = names(1);
    network.onSend = [&](const FakeIcmp::Sent& s) {
        for (std::uint32_t t = 300; t <= 4200; t += 300)
            network.arrive(s.at + t, std::vector<std::uint8_t>(60, 1));
    };
    int asked = 0;
    network.replyDelay = [&](const FakeIcmp::Sent&) { return ++asked == 9 ? 4100u : ~0u; };
    EXPECT_EQ(removed(all), Names{});
    EXPECT_EQ(shown().pingsSent, 9);
    EXPECT_EQ(shown().repliesReceived, 1);
}

} // namespace
} // namespace rm
