#pragma once

#include "core/jobs/CancelToken.h"
#include "core/jobs/Progress.h"
#include "core/jobs/ThreadStarter.h"
#include "core/ports/PortProbe.h"
#include "core/search/SearchProgress.h"

#include <chrono>
#include <string>
#include <vector>

namespace rm {

// The liveness step for computers that drop pings: every name is offered a
// connection to the file-sharing port, many at once; those that take none
// within the limit are to be removed, in the order of the names. A name
// whose thread cannot start is probed on the calling thread. After a cancel
// the names not yet probed are kept, as a cancelled ping scan keeps them.
class PortSweep {
public:
    static constexpr int Port = 445;
    static constexpr std::size_t Parallel = 64;
    static constexpr std::chrono::milliseconds Limit{2000};
    static constexpr std::size_t ProbeStack = 131072;

    struct Services {
        PortProbe& probe;
        ThreadStarter& threads;
    };

    static std::vector<std::string> closed(const std::vector<std::string>& names, Services services,
                                           Progress<SearchProgress>& progress, const CancelToken& cancel);
};

} // namespace rm
