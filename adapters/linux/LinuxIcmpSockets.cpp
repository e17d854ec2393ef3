#include "adapters/linux/LinuxIcmpSockets.h"

#include <cerrno>
#include <cstring>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rm {
namespace {

constexpr std::size_t IpHeaderSize = 20;

class LinuxIcmpSocket : public IcmpSocket {
public:
    LinuxIcmpSocket(int fd, bool datagram, std::uint16_t identifier)
        : fd_(fd), datagram_(datagram), identifier_(identifier)
    {
    }
    ~LinuxIcmpSocket() override { ::close(fd_); }

    std::uint16_t identifier() const override { return identifier_; }

    void send(const std::uint8_t* message, std::size_t size, std::uint32_t address) override
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = address;
        // Failures (no route, a neighbour that never answered) lose the request.
        ::sendto(fd_, message, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    }

    bool waitReadable(std::uint32_t milliseconds) override
    {
        // poll, not select: the descriptor may be above FD_SETSIZE in a
        // process with many helpers.
        pollfd p{fd_, POLLIN, 0};
        int n;
        do
            n = ::poll(&p, 1, static_cast<int>(milliseconds));
        while (n < 0 && errno == EINTR);
        return n > 0;
    }

    int receive(std::uint8_t* buffer) override
    {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        std::uint8_t* into = datagram_ ? buffer + IpHeaderSize : buffer;
        const std::size_t room = datagram_ ? MaxDatagram - IpHeaderSize : MaxDatagram;
        const ssize_t n =
            ::recvfrom(fd_, into, room, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (n < 0)
            return -1;
        if (!datagram_)
            return static_cast<int>(n);
        // The header the raw socket would have given: version 4, 20 bytes, ICMP, from the sender.
        std::memset(buffer, 0, IpHeaderSize);
        buffer[0] = 0x45;
        const auto total = static_cast<std::uint16_t>(n + IpHeaderSize);
        buffer[2] = static_cast<std::uint8_t>(total >> 8);
        buffer[3] = static_cast<std::uint8_t>(total);
        buffer[8] = 64;
        buffer[9] = IPPROTO_ICMP;
        std::memcpy(buffer + 12, &from.sin_addr.s_addr, 4);
        return static_cast<int>(n + IpHeaderSize);
    }

private:
    const int fd_;
    const bool datagram_;
    const std::uint16_t identifier_;
};

// The kernel gives a datagram socket its identifier on bind (port 0: any
// free one) and writes it over the one in each request; getsockname tells it.
bool boundIdentifier(int fd, std::uint16_t& identifier)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    socklen_t size = sizeof address;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return false;
    identifier = ntohs(address.sin_port);
    return true;
}

} // namespace

std::unique_ptr<IcmpSocket> LinuxIcmpSockets::open()
{
    // A raw socket sees every echo reply of the host; the process id tells
    // ours from another pinging program's.
    if (const int fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP); fd >= 0)
        return std::make_unique<LinuxIcmpSocket>(fd, false, static_cast<std::uint16_t>(::getpid()));
    if (const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP); fd >= 0) {
        std::uint16_t identifier = 0;
        if (boundIdentifier(fd, identifier))
            return std::make_unique<LinuxIcmpSocket>(fd, true, identifier);
        ::close(fd);
    }
    return nullptr;
}

} // namespace rm
