#include "core/search/PingSweep.h"

#include "core/jobs/ParallelWork.h"
#include "core/search/PingRounds.h"

#include <memory>

namespace rm {

PingSweep::PingSweep(Services services, Progress<SearchProgress>& progress, const CancelToken& cancel)
    : s_(services), progress_(progress), cancel_(cancel)
{
}

void PingSweep::resolveAll()
{
    const std::size_t total = targets_.size();
    auto began = [](SearchProgress& p) {
        LivenessProgress& l = p.liveness;
        l.resolutionCounted = true;
        ++l.resolving;
        --l.unresolved;
    };
    auto ended = [](SearchProgress& p) {
        --p.liveness.resolving;
        ++p.liveness.resolved;
    };
    progress_.update([total](SearchProgress& p) { p.liveness.unresolved = total; });
    // A look-up that never ran has ended without an address.
    workInParallel(
        s_.threads, {Resolvers, ResolverStack, ThreadStarter::Priority::BelowNormal}, total, cancel_,
        [&](std::size_t i) {
            progress_.update(began);
            targets_[i].address = s_.resolver.resolve(targets_[i].name);
            progress_.update(ended);
        },
        [&](std::size_t) {
            progress_.update(began);
            progress_.update(ended);
        });
}

std::vector<std::string> PingSweep::run(const std::vector<std::string>& names, LivenessFailure& failure,
                                        int silentRoundsTolerated, std::uint32_t replyTimeout)
{
    progress_.update([](SearchProgress& p) { p.liveness.phase = LivenessProgress::Phase::Resolving; });
    failure = LivenessFailure::None;
    targets_.clear();
    for (const std::string& name : names)
        targets_.push_back({name});
    if (!cancel_.cancelled())
        resolveAll();
    if (cancel_.cancelled()) {
        failure = LivenessFailure::ResolutionCancelled;
        return {};
    }

    std::unique_ptr<IcmpSocket> socket = s_.sockets.open();
    if (!socket) {
        failure = LivenessFailure::NoIcmpSocket;
        return {};
    }
    PingRounds(*socket, s_.clock, progress_, cancel_).run(targets_, silentRoundsTolerated, replyTimeout);
    socket.reset();

    std::vector<std::string> silent;
    for (const PingTarget& t : targets_)
        if (!t.answered)
            silent.push_back(t.name);
    return silent;
}

} // namespace rm
