#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace rm {

// One socket for ICMP echo requests and what comes back.
class IcmpSocket {
public:
    // Every datagram read is at most this long.
    static constexpr std::size_t MaxDatagram = 316;

    virtual ~IcmpSocket() = default;
    // The identifier its echo requests carry, and so the replies meant for it.
    virtual std::uint16_t identifier() const = 0;
    // Sends one ICMP message to an IPv4 address (network byte order). A
    // request that cannot be sent is lost, as one lost on the way would be.
    virtual void send(const std::uint8_t* message, std::size_t size, std::uint32_t address) = 0;
    // True when a datagram (or an error) waits to be read, within at most
    // `milliseconds`; false on a time-out or a failure.
    virtual bool waitReadable(std::uint32_t milliseconds) = 0;
    // Reads one datagram into `buffer` (room for MaxDatagram bytes) as an
    // IPv4 header (its length in its first byte; the sender's address at
    // offset 12) followed by the ICMP message, whatever the socket gives.
    // The number of bytes, or -1 when nothing could be read.
    virtual int receive(std::uint8_t* buffer) = 0;
};

// Opens ICMP sockets for the ping scan.
class IcmpSockets {
public:
    virtual ~IcmpSockets() = default;
    // Nothing when the system gives this process no ICMP socket.
    virtual std::unique_ptr<IcmpSocket> open() = 0;
};

} // namespace rm
