#pragma once

#include "core/ports/PortProbe.h"
#include "core/ports/Threads.h"
#include "core/jobs/Worker.h"

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace rm {

// The liveness step for computers that drop pings: every name is offered a
// connection to the file-sharing port, many at once; those that take none
// within the limit are to be removed. Posts 1026 (wParam probed, lParam all)
// as probes end and 1025 at the end. After a cancel the names not yet
// probed are kept, as a cancelled ping scan keeps them.
class PortSweep : public Worker {
public:
    static constexpr int Port = 445;
    static constexpr int Parallel = 64;
    static constexpr std::chrono::milliseconds Limit{2000};
    static constexpr std::size_t ProbeStack = 131072;

    struct Services {
        PortProbe& probe;
        ThreadStarter& threads;
    };

    PortSweep(std::vector<std::string> names, Services services);

    // Whole once `finished` is set; in the order of the names.
    const std::vector<std::string>& removalList() const { return removalList_; }

protected:
    void run() override;

private:
    void probeUntilDone();

    const std::vector<std::string> names_;
    Services s_;
    std::vector<char> silent_; // one per name, each written by the thread that probed it
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> probed_{0};
    std::atomic<int> running_{0};
    std::vector<std::string> removalList_;
};

} // namespace rm
