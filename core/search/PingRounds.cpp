#include "core/search/PingRounds.h"

#include "core/search/EchoMessage.h"

#include <algorithm>
#include <atomic>

namespace rm {
namespace {

// Every request of the process gets the next number; it is never reset, so
// a late reply to an earlier sweep carries a number of its own.
std::atomic<std::uint32_t> sequenceCounter{1};

} // namespace

PingRounds::PingRounds(IcmpSocket& socket, TickClock& clock, Progress<SearchProgress>& progress,
                       const CancelToken& cancel)
    : socket_(socket), clock_(clock), progress_(progress), cancel_(cancel)
{
}

bool PingRounds::pastReplyCap()
{
    return clock_.now() - lastValidReply_ > 8 * timeout_;
}

void PingRounds::drain()
{
    // Also bounded by the cap and the cancel: a flood must not hold the sweep.
    std::vector<PingTarget>& targets = *targets_;
    std::uint8_t datagram[IcmpSocket::MaxDatagram];
    while (!cancelled() && !pastReplyCap() && socket_.waitReadable(0)) {
        const int size = socket_.receive(datagram);
        if (size <= 0)
            continue;
        const std::optional<std::uint32_t> index =
            echo::replyIndex(datagram, std::min<std::size_t>(static_cast<std::size_t>(size), sizeof datagram));
        if (!index)
            continue;
        lastValidReply_ = clock_.now();
        if (*index >= targets.size())
            continue;
        targets[*index].answered = true;
        progress_.update([](SearchProgress& p) { ++p.liveness.repliesReceived; });
        ++replyCount_;
    }
}

bool PingRounds::sendRound()
{
    bool sentAny = false;
    for (std::size_t i = 0; i < targets_->size(); ++i) {
        const PingTarget& t = (*targets_)[i];
        if (t.address == 0 || t.answered)
            continue;
        const auto sequence = static_cast<std::uint16_t>(sequenceCounter.fetch_add(1, std::memory_order_relaxed));
        const auto message = echo::request(static_cast<std::uint32_t>(i), sequence);
        socket_.send(message.data(), message.size(), t.address);
        progress_.update([](SearchProgress& p) { ++p.liveness.pingsSent; });
        sentAny = true;
        drain();
    }
    return sentAny;
}

void PingRounds::waitForReplies()
{
    lastValidReply_ = clock_.now();
    while (socket_.waitReadable(timeout_) && !cancelled()) {
        drain();
        if (pastReplyCap())
            return;
    }
}

void PingRounds::run(std::vector<PingTarget>& targets, int silentRoundsTolerated, std::uint32_t replyTimeout)
{
    targets_ = &targets;
    timeout_ = replyTimeout;
    replyCount_ = 0;
    const std::uint32_t start = clock_.now();
    lastValidReply_ = start;
    int silentRounds = 0;
    for (int round = 1;; ++round) {
        const int repliesBefore = replyCount_;
        const std::uint32_t elapsed = clock_.now() - start;
        progress_.update([round, elapsed](SearchProgress& p) {
            p.liveness.phase = LivenessProgress::Phase::Pinging;
            p.liveness.round = round;
            p.liveness.elapsedMs = elapsed;
        });
        if (!sendRound())
            return;
        waitForReplies();
        if (cancelled())
            return;
        if (replyCount_ != repliesBefore)
            silentRounds = 0;
        else if (silentRounds == silentRoundsTolerated)
            return;
        else
            ++silentRounds;
    }
}

} // namespace rm
