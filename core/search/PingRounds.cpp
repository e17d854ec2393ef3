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

void PingRounds::take(const std::uint8_t* datagram, std::size_t size)
{
    // Only a first answer to a request we sent counts or renews the wait:
    // anything else could be forged, or repeated, to hold the sweep open.
    const std::optional<echo::Reply> reply = echo::parseReply(datagram, size);
    if (!reply || reply->identifier != identifier_ || reply->index >= targets_->size())
        return;
    PingTarget& target = (*targets_)[reply->index];
    const std::vector<std::uint16_t>& sent = sequences_[reply->index];
    if (target.answered || target.address != reply->source ||
        std::find(sent.begin(), sent.end(), reply->sequence) == sent.end())
        return;
    target.answered = true;
    lastValidReply_ = clock_.now();
    progress_.update([](SearchProgress& p) { ++p.liveness.repliesReceived; });
    ++replyCount_;
}

void PingRounds::drain()
{
    // What is already queued is read before anyone looks at the cap, so a
    // reply that came in time is not lost; the limit keeps a flood from
    // holding the sweep here.
    std::uint8_t datagram[IcmpSocket::MaxDatagram];
    for (int read = 0; read < DrainLimit && !cancelled() && socket_.waitReadable(0); ++read) {
        const int size = socket_.receive(datagram);
        if (size > 0)
            take(datagram, std::min<std::size_t>(static_cast<std::size_t>(size), sizeof datagram));
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
        sequences_[i].push_back(sequence);
        const auto message = echo::request(static_cast<std::uint32_t>(i), identifier_, sequence);
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
    identifier_ = socket_.identifier();
    sequences_.assign(targets.size(), {});
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
