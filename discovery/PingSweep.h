#pragma once

#include "discovery/PingDisplay.h"
#include "platform/HostResolver.h"
#include "platform/IcmpSocket.h"
#include "platform/Threads.h"

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
    struct Target {
        std::string name;
        bool answered = false;
        std::uint32_t address = 0;
    };

    struct ResolverSlot;

    bool cancelled() const { return cancel_.load(std::memory_order_acquire); }
    void resolveAll();
    void sendRound(IcmpSocket& socket, bool& sentAny);
    void waitForReplies(IcmpSocket& socket);
    void drain(IcmpSocket& socket);
    // More than 8 x T since the last valid reply.
    bool pastReplyCap();

    Services s_;
    PingDisplay& display_;
    const std::atomic<bool>& cancel_;
    std::vector<Target> targets_;
    std::uint32_t timeout_ = 0;
    int replyCount_ = 0;
    std::uint32_t lastValidReply_ = 0;
};

} // namespace rm
