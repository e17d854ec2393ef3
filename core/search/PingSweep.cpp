#include "core/search/PingSweep.h"

#include "core/search/PingRounds.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace rm {

struct PingSweep::ResolverSlot {
    std::atomic<bool> free{true};
    PingTarget* target = nullptr;
};

PingSweep::PingSweep(Services services, PingDisplay& display, const std::atomic<bool>& cancelRequested)
    : s_(services), display_(display), cancel_(cancelRequested)
{
}

void PingSweep::resolveAll()
{
    auto slots = std::make_unique<ResolverSlot[]>(ResolverSlots);
    std::size_t next = 0;
    int resolved = 0, active = 0;
    for (;;) {
        bool changed = false, busy = false;
        for (int i = 0; i < ResolverSlots; ++i) {
            ResolverSlot& slot = slots[i];
            // Acquire: the address the resolver wrote is visible once the slot is free.
            if (!slot.free.load(std::memory_order_acquire)) {
                busy = true;
                continue;
            }
            if (slot.target) {
                slot.target = nullptr;
                ++resolved;
                --active;
                changed = true;
            }
            if (next >= targets_.size() || cancelled())
                continue;
            PingTarget* target = &targets_[next++];
            slot.target = target;
            slot.free.store(false, std::memory_order_relaxed);
            ++active;
            changed = busy = true;
            HostResolver* resolver = &s_.resolver;
            std::atomic<bool>* free = &slot.free;
            const bool started = s_.threads.start(
                [target, resolver, free] {
                    target->address = resolver->resolve(target->name);
                    free->store(true, std::memory_order_release); // the resolver's last write
                },
                ResolverStack, ThreadStarter::Priority::BelowNormal);
            // A look-up that never ran has ended without an address.
            if (!started)
                slot.free.store(true, std::memory_order_release);
        }
        if (changed) {
            char text[128];
            std::snprintf(text, sizeof text, "%d hostnames resolved, resolving %d currently, %zu left ...", resolved,
                          active, targets_.size() - next);
            display_.setStatusText(text);
        }
        if (!busy)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

PingSweep::Outcome PingSweep::run(const std::vector<std::string>& names, int silentRoundsTolerated,
                                  std::uint32_t replyTimeout)
{
    display_.setStatusText("Resolving hostnames ...");
    targets_.clear();
    for (const std::string& name : names)
        targets_.push_back({name});
    if (cancelled())
        return Abort::Cancelled;
    resolveAll();
    if (cancelled())
        return Abort::Cancelled;

    std::unique_ptr<IcmpSocket> socket = s_.sockets.open();
    if (!socket)
        return Abort::NoSocket;
    PingRounds(*socket, s_.clock, display_, cancel_).run(targets_, silentRoundsTolerated, replyTimeout);
    socket.reset();

    std::vector<std::string> silent;
    for (const PingTarget& t : targets_)
        if (!t.answered)
            silent.push_back(t.name);
    return silent;
}

} // namespace rm
