#pragma once

#include "core/search/PingDisplay.h"
#include "core/search/PingTarget.h"
#include "core/ports/HostResolver.h"
#include "core/ports/IcmpSocket.h"
#include "core/ports/Threads.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace rm {

// Resolves every name with up to 1024 look-ups at once, then pings the
// addresses in rounds until the answers stop coming, and gives the names
// that never answered. One sweep at a time per process.
class PingSweep {
public:
    static constexpr int ResolverSlots = 1024;
    static constexpr std::size_t ResolverStack = 131072;

    // Why a sweep ended without a result.
    enum class Abort { NoSocket = 0, Cancelled = 1 };
    using Outcome = std::variant<std::vector<std::string>, Abort>;

    struct Services {
        HostResolver& resolver;
        IcmpSockets& sockets;
        ThreadStarter& threads;
        TickClock& clock;
    };

    PingSweep(Services services, PingDisplay& display, const std::atomic<bool>& cancelRequested);

    Outcome run(const std::vector<std::string>& names, int silentRoundsTolerated, std::uint32_t replyTimeout);

private:
    struct ResolverSlot;

    bool cancelled() const { return cancel_.load(std::memory_order_acquire); }
    void resolveAll();

    Services s_;
    PingDisplay& display_;
    const std::atomic<bool>& cancel_;
    std::vector<PingTarget> targets_;
};

} // namespace rm
