#include "core/search/PortSweep.h"

#include "core/jobs/ParallelWork.h"

namespace rm {

std::vector<std::string> PortSweep::closed(const std::vector<std::string>& names, Services s,
                                           Progress<SearchProgress>& progress, const CancelToken& cancel)
{
    std::vector<char> silent(names.size(), 0); // each written by the thread that probed it
    const std::size_t total = names.size();
    progress.update([total](SearchProgress& p) {
        p.liveness.phase = LivenessProgress::Phase::Probing;
        p.liveness.probed = 0;
        p.liveness.toProbe = total;
    });
    auto probe = [&](std::size_t i) {
        // A probe cut short by a cancel proved nothing: the name stays.
        silent[i] = !s.probe.accepts(names[i], Port, Limit, cancel) && !cancel.cancelled();
        progress.update([](SearchProgress& p) { ++p.liveness.probed; });
    };
    // A name whose thread could not start is probed here, so the sweep
    // still decides every name when no thread starts at all.
    workInParallel(s.threads, {Parallel, ProbeStack, ThreadStarter::Priority::BelowNormal}, total, cancel, probe,
                   probe);
    std::vector<std::string> removals;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (silent[i])
            removals.push_back(names[i]);
    return removals;
}

} // namespace rm
