#include "discovery/PingSweep.h"

#include "discovery/EchoMessage.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace rm {
namespace {

// Every request of the process gets the next number; it is never reset, so
// a late reply to an earlier sweep carries a number of its own.
std::atomic<std::uint32_t> sequenceCounter{1};

} // namespace

struct PingSweep::ResolverSlot {
    std::atomic<bool> free{true};
    Target* target = nullptr;
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
            Target* target = &targets_[next++];
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

bool PingSweep::pastReplyCap()
{
    return s_.clock.now() - lastValidReply_ > 8 * timeout_;
}

void PingSweep::drain(IcmpSocket& socket)
{
    // Also bounded by the cap and the cancel: a flood must not hold the sweep.
    std::uint8_t datagram[IcmpSocket::MaxDatagram];
    while (!cancelled() && !pastReplyCap() && socket.waitReadable(0)) {
        const int size = socket.receive(datagram);
        if (size <= 0)
            continue;
        const std::optional<std::uint32_t> index =
            echo::replyIndex(datagram, std::min<std::size_t>(static_cast<std::size_t>(size), sizeof datagram));
        if (!index)
            continue;
        lastValidReply_ = s_.clock.now();
        if (*index >= targets_.size())
            continue;
        targets_[*index].answered = true;
        display_.countReply();
        ++replyCount_;
    }
}

void PingSweep::sendRound(IcmpSocket& socket, bool& sentAny)
{
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        const Target& t = targets_[i];
        if (t.address == 0 || t.answered)
            continue;
        const auto sequence = static_cast<std::uint16_t>(sequenceCounter.fetch_add(1, std::memory_order_relaxed));
        const auto message = echo::request(static_cast<std::uint32_t>(i), sequence);
        socket.send(message.data(), message.size(), t.address);
        display_.countRequestSent();
        sentAny = true;
        drain(socket);
    }
}

void PingSweep::waitForReplies(IcmpSocket& socket)
{
    lastValidReply_ = s_.clock.now();
    while (socket.waitReadable(timeout_) && !cancelled()) {
        drain(socket);
        if (pastReplyCap())
            return;
    }
}

PingSweep::Outcome PingSweep::run(const std::vector<std::string>& names, int silentRoundsTolerated,
                                  std::uint32_t replyTimeout)
{
    timeout_ = replyTimeout;
    replyCount_ = 0;
    display_.setStatusText("Resolving hostnames ...");
    targets_.clear();
    for (const std::string& name : names)
        targets_.push_back({name});
    if (cancelled())
        return Abort::Cancelled;
    resolveAll();
    if (cancelled())
        return Abort::Cancelled;

    const std::uint32_t start = s_.clock.now();
    lastValidReply_ = start;
    int silentRounds = 0;
    std::unique_ptr<IcmpSocket> socket = s_.sockets.open();
    if (!socket)
        return Abort::NoSocket;
    for (int round = 1;; ++round) {
        const int repliesBefore = replyCount_;
        char text[64];
        std::snprintf(text, sizeof text, "%0.1f seconds", (s_.clock.now() - start) / 1000.0);
        display_.setElapsedText(text);
        std::snprintf(text, sizeof text, "Ping scanning, round %d ...", round);
        display_.setStatusText(text);
        bool sentAny = false;
        sendRound(*socket, sentAny);
        if (!sentAny)
            break;
        waitForReplies(*socket);
        if (cancelled())
            break;
        if (replyCount_ != repliesBefore)
            silentRounds = 0;
        else if (silentRounds == silentRoundsTolerated)
            break;
        else
            ++silentRounds;
    }
    socket.reset();

    std::vector<std::string> silent;
    for (const Target& t : targets_)
        if (!t.answered)
            silent.push_back(t.name);
    return silent;
}

} // namespace rm
