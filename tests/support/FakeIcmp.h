#pragma once

#include "core/search/EchoMessage.h"
#include "core/ports/HostResolver.h"
#include "core/ports/IcmpSocket.h"
#include "support/ManualClock.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace rm {

// Names to addresses from a table; optionally held at a gate. Called from many threads.
class FakeResolver : public HostResolver {
public:
    std::uint32_t resolve(const std::string& name) override
    {
        std::unique_lock lock(mutex_);
        ++running;
        maxRunning = std::max(maxRunning, running);
        changed_.notify_all();
        if (onResolve) {
            lock.unlock();
            onResolve(name);
            lock.lock();
        }
        changed_.wait(lock, [&] { return !held; });
        --running;
        ++done;
        changed_.notify_all();
        auto it = addresses.find(name);
        return it == addresses.end() ? 0 : it->second;
    }
    void hold()
    {
        std::lock_guard lock(mutex_);
        held = true;
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        held = false;
        changed_.notify_all();
    }
    void waitForRunning(int n)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return running >= n; });
    }
    int doneCount()
    {
        std::lock_guard lock(mutex_);
        return done;
    }
    int maxRunningCount()
    {
        std::lock_guard lock(mutex_);
        return maxRunning;
    }

    std::map<std::string, std::uint32_t> addresses;
    std::function<void(const std::string&)> onResolve;

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held = false;
    int running = 0, maxRunning = 0, done = 0;
};

// A network on a manual clock, which passes only when the network waits: the addresses in `answering` reply to every
// request after `delay` ms (or as `replyDelay` says per request), echoing it
// as sent, and other datagrams arrive when the test says. Used by one thread
// at a time.
class FakeIcmp : public IcmpSockets {
public:
    struct Sent {
        std::vector<std::uint8_t> message;
        std::uint32_t address;
        std::uint32_t at;
    };

    explicit FakeIcmp(ManualClock& clock) : clock_(clock) {}

    std::unique_ptr<IcmpSocket> open() override
    {
        ++opened;
        if (onOpen)
            onOpen();
        if (refuse)
            return nullptr;
        return std::make_unique<Socket>(*this);
    }

    // A datagram that arrives at `at`, as the socket gives it (IPv4 header first).
    void arrive(std::uint32_t at, std::vector<std::uint8_t> datagram)
    {
        queue_.insert({at, std::move(datagram)});
    }
    // What `from` sends back for `request`: the message echoed as an echo
    // reply, checksum and all, behind the header a socket gives.
    static std::vector<std::uint8_t> replyTo(const std::vector<std::uint8_t>& request, std::uint32_t from)
    {
        std::vector<std::uint8_t> d(20 + request.size(), 0);
        d[0] = 0x45;
        d[2] = static_cast<std::uint8_t>(d.size() >> 8);
        d[3] = static_cast<std::uint8_t>(d.size());
        d[8] = 64;
        d[9] = 1; // ICMP
        std::memcpy(&d[12], &from, 4);
        std::copy(request.begin(), request.end(), d.begin() + 20);
        if (d.size() > 20)
            d[20] = 0; // echo reply
        sealChecksum(d);
        return d;
    }
    // The ICMP checksum of a datagram with a 20-byte header, made right again.
    static void sealChecksum(std::vector<std::uint8_t>& datagram)
    {
        if (datagram.size() < 24)
            return;
        datagram[22] = datagram[23] = 0;
        const std::uint16_t sum = echo::internetChecksum(&datagram[20], datagram.size() - 20);
        datagram[22] = static_cast<std::uint8_t>(sum >> 8);
        datagram[23] = static_cast<std::uint8_t>(sum);
    }
    // Index, identifier and sequence number of a request, as sent.
    static std::uint32_t indexOf(const Sent& s)
    {
        return s.message[8] | s.message[9] << 8 | s.message[10] << 16 | std::uint32_t(s.message[11]) << 24;
    }
    static std::uint16_t identifierOf(const Sent& s) { return std::uint16_t(s.message[4] << 8 | s.message[5]); }
    static std::uint16_t sequenceOf(const Sent& s) { return std::uint16_t(s.message[6] << 8 | s.message[7]); }

    // What the sockets give as their identifier; requests go out as written.
    std::uint16_t identifier = 0x5A17;
    std::vector<std::uint32_t> answering;
    std::uint32_t delay = 5;
    std::function<std::uint32_t(const Sent&)> replyDelay; // per request; ~0u: no reply
    std::function<void(const Sent&)> onSend;
    std::function<void(std::uint32_t timeout)> onWait;
    std::function<void()> onOpen;
    bool refuse = false;
    int opened = 0, closed = 0;
    std::vector<Sent> sent;

private:
    class Socket : public IcmpSocket {
    public:
        explicit Socket(FakeIcmp& net) : net_(net) {}
        ~Socket() override { ++net_.closed; }
        std::uint16_t identifier() const override { return net_.identifier; }
        void send(const std::uint8_t* message, std::size_t size, std::uint32_t address) override
        {
            Sent s{{message, message + size}, address, net_.clock_.now()};
            net_.sent.push_back(s);
            if (net_.onSend)
                net_.onSend(s);
            std::uint32_t d = net_.replyDelay ? net_.replyDelay(s) : net_.delay;
            const auto& a = net_.answering;
            if (d != ~0u && std::find(a.begin(), a.end(), address) != a.end())
                net_.arrive(s.at + d, replyTo(s.message, address));
        }
        bool waitReadable(std::uint32_t timeout) override
        {
            if (timeout > 0 && net_.onWait)
                net_.onWait(timeout);
            const std::uint32_t now = net_.clock_.now();
            if (!net_.queue_.empty() && net_.queue_.begin()->first <= now + timeout) {
                net_.clock_.ms = std::max(now, net_.queue_.begin()->first);
                return true;
            }
            net_.clock_.ms = now + timeout;
            return false;
        }
        int receive(std::uint8_t* buffer) override
        {
            if (net_.queue_.empty() || net_.queue_.begin()->first > net_.clock_.now())
                return -1;
            auto d = net_.queue_.begin()->second;
            net_.queue_.erase(net_.queue_.begin());
            const std::size_t n = std::min(d.size(), MaxDatagram);
            std::copy_n(d.begin(), n, buffer);
            return static_cast<int>(n);
        }

    private:
        FakeIcmp& net_;
    };

    ManualClock& clock_;
    std::multimap<std::uint32_t, std::vector<std::uint8_t>> queue_;
};

} // namespace rm
