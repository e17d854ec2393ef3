#pragma once

#include "core/ports/PortProbe.h"

#include <atomic>
#include <set>
#include <string>
#include <thread>

namespace rm {

// Answers from a table; can hold every probe until told, counting how many
// wait at once.
class TableProbe : public PortProbe {
public:
    bool accepts(const std::string& name, int port, std::chrono::milliseconds limit,
                 const CancelToken& cancel) override
    {
        lastPort = port;
        lastLimit = limit;
        const int now = ++inFlight;
        for (int seen = maxInFlight.load(); now > seen && !maxInFlight.compare_exchange_weak(seen, now);)
            ;
        while (hold.load() && !cancel.cancelled())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        --inFlight;
        ++probes;
        return open.count(name) > 0;
    }

    std::set<std::string> open;
    std::atomic<bool> hold{false};
    std::atomic<int> inFlight{0}, maxInFlight{0}, probes{0};
    std::atomic<int> lastPort{0};
    std::atomic<std::chrono::milliseconds> lastLimit{};
};

} // namespace rm
