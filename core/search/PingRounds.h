#pragma once

#include "core/jobs/CancelToken.h"
#include "core/jobs/Progress.h"
#include "core/jobs/TickClock.h"
#include "core/ports/IcmpSocket.h"
#include "core/search/PingTarget.h"
#include "core/search/SearchProgress.h"

#include <cstdint>
#include <vector>

namespace rm {

// The rounds of a sweep over resolved targets: every target that has an
// address and has not answered gets a request, then replies are awaited;
// the rounds end when a round sends nothing, on a cancel, or after one more
// silent round than tolerated.
class PingRounds {
public:
    PingRounds(IcmpSocket& socket, TickClock& clock, Progress<SearchProgress>& progress, const CancelToken& cancel);

    void run(std::vector<PingTarget>& targets, int silentRoundsTolerated, std::uint32_t replyTimeout);

private:
    bool cancelled() const { return cancel_.cancelled(); }
    bool sendRound();
    void waitForReplies();
    // Reads what is queued, up to DrainLimit datagrams.
    void drain();
    void take(const std::uint8_t* datagram, std::size_t size);
    // More than 8 x T since the last valid reply.
    bool pastReplyCap();

    static constexpr int DrainLimit = 1024;

    IcmpSocket& socket_;
    TickClock& clock_;
    Progress<SearchProgress>& progress_;
    const CancelToken& cancel_;
    std::vector<PingTarget>* targets_ = nullptr;
    std::uint32_t timeout_ = 0;
    std::uint16_t identifier_ = 0;
    // Per target, the sequence numbers of the requests it was sent.
    std::vector<std::vector<std::uint16_t>> sequences_;
    int replyCount_ = 0;
    std::uint32_t lastValidReply_ = 0;
};

} // namespace rm
