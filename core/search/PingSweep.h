#pragma once

#include "core/jobs/CancelToken.h"
#include "core/jobs/Progress.h"
#include "core/jobs/ThreadStarter.h"
#include "core/jobs/TickClock.h"
#include "core/ports/HostResolver.h"
#include "core/ports/IcmpSocket.h"
#include "core/search/PingTarget.h"
#include "core/search/SearchOutcome.h"
#include "core/search/SearchProgress.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rm {

// Resolves every name with up to 1024 look-ups at once, then pings the
// addresses in rounds until the answers stop coming, and gives the names
// that never answered. One sweep at a time per process.
class PingSweep {
public:
    static constexpr std::size_t Resolvers = 1024;
    static constexpr std::size_t ResolverStack = 131072;
    static constexpr int SilentRoundsTolerated = 8;
    static constexpr std::uint32_t ReplyTimeout = 500;

    struct Services {
        HostResolver& resolver;
        IcmpSockets& sockets;
        ThreadStarter& threads;
        TickClock& clock;
    };

    PingSweep(Services services, Progress<SearchProgress>& progress, const CancelToken& cancel);

    // The names that never answered, in their order; nothing and why when
    // the sweep could not run to its rounds.
    std::vector<std::string> run(const std::vector<std::string>& names, LivenessFailure& failure,
                                 int silentRoundsTolerated = SilentRoundsTolerated,
                                 std::uint32_t replyTimeout = ReplyTimeout);

private:
    void resolveAll();

    Services s_;
    Progress<SearchProgress>& progress_;
    const CancelToken& cancel_;
    std::vector<PingTarget> targets_;
};

} // namespace rm
