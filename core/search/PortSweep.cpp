#include "core/search/PortSweep.h"

#include <thread>

namespace rm {

PortSweep::PortSweep(std::vector<std::string> names, Services services)
    : names_(std::move(names)), s_(services), silent_(names_.size(), 0)
{
}

void PortSweep::probeUntilDone()
{
    for (;;) {
        const std::size_t i = next_.fetch_add(1, std::memory_order_relaxed);
        if (i >= names_.size() || cancelRequested())
            return;
        silent_[i] = !s_.probe.accepts(names_[i], Port, Limit, cancelFlag());
        // A probe cut short by a cancel proved nothing: the name stays.
        if (cancelRequested())
            silent_[i] = 0;
        const std::size_t done = probed_.fetch_add(1, std::memory_order_relaxed) + 1;
        window().post(MessageProgress, done, static_cast<std::intptr_t>(names_.size()));
    }
}

void PortSweep::run()
{
    const int helpers = static_cast<int>(std::min<std::size_t>(names_.size(), Parallel)) - 1;
    for (int k = 0; k < helpers; ++k) {
        running_.fetch_add(1, std::memory_order_relaxed);
        const bool started = s_.threads.start(
            [this] {
                probeUntilDone();
                running_.fetch_sub(1, std::memory_order_release);
            },
            ProbeStack, ThreadStarter::Priority::BelowNormal);
        if (!started)
            running_.fetch_sub(1, std::memory_order_relaxed);
    }
    // This thread probes too, so the sweep ends even when no thread starts.
    probeUntilDone();
    while (running_.load(std::memory_order_acquire) > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (silent_[i])
            removalList_.push_back(names_[i]);
    finish();
}

} // namespace rm
