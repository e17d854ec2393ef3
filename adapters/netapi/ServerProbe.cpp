#include "adapters/netapi/ServerProbe.h"

#include <array>
#include <utility>
#include <cerrno>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rm {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds Slice{50}; // how soon a cancel is seen

// A negotiation over direct TCP: the session header, then the request for the
// dialects 2.0.2 to 3.0.2.
constexpr std::array<unsigned char, 4 + 64 + 36 + 8> negotiation()
{
    std::array<unsigned char, 4 + 64 + 36 + 8> m{};
    m[3] = 64 + 36 + 8;
    unsigned char* h = m.data() + 4;
    h[0] = 0xFE, h[1] = 'S', h[2] = 'M', h[3] = 'B';
    h[4] = 64;  // structure size
    h[14] = 1;  // credits asked for
    unsigned char* b = h + 64;
    b[0] = 36; // structure size
    b[2] = 4;  // dialect count
    b[4] = 1;  // signing enabled
    const unsigned short dialects[] = {0x0202, 0x0210, 0x0300, 0x0302};
    for (int i = 0; i < 4; ++i) {
        b[36 + 2 * i] = dialects[i] & 0xFF;
        b[37 + 2 * i] = dialects[i] >> 8;
    }
    return m;
}

class Socket {
public:
    explicit Socket(int fd = -1) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(Socket&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

enum class Wait { Ready, TimedOut, Cancelled };

Wait waitFor(int fd, short events, Clock::time_point deadline, const CancelToken* cancel)
{
    for (;;) {
        if (cancel && cancel->cancelled())
            return Wait::Cancelled;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return Wait::TimedOut;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(std::min(left, Slice).count()));
        if (n > 0)
            return Wait::Ready;
        if (n < 0 && errno != EINTR)
            return Wait::Ready; // let the next call on the socket tell
    }
}

enum class Connect { Connected, Refused, NoConnection, Cancelled };

// The first address of the list that takes a connection before the deadline;
// `out` holds its socket.
Connect connectAny(const addrinfo* found, Clock::time_point deadline, const CancelToken* cancel, Socket& out)
{
    for (const addrinfo* a = found; a; a = a->ai_next) {
        Socket s(::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
        if (s.fd() < 0)
            continue;
        if (::connect(s.fd(), a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
            if (errno == ECONNREFUSED)
                return Connect::Refused;
            continue;
        }
        const Wait w = waitFor(s.fd(), POLLOUT, deadline, cancel);
        if (w == Wait::Cancelled)
            return Connect::Cancelled;
        if (w == Wait::TimedOut)
            return Connect::NoConnection;
        int error = 0;
        socklen_t size = sizeof error;
        ::getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &error, &size);
        if (error == ECONNREFUSED)
            return Connect::Refused;
        if (error != 0)
            continue;
        out = std::move(s);
        return Connect::Connected;
    }
    return Connect::NoConnection;
}

class AddressList {
public:
    AddressList(const std::string& server, int port)
    {
        const std::size_t start = server.find_first_not_of('\\');
        const std::string name = start == std::string::npos ? std::string() : server.substr(start);
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        if (name.empty() || ::getaddrinfo(name.c_str(), std::to_string(port).c_str(), &hints, &found_) != 0)
            found_ = nullptr;
    }
    ~AddressList()
    {
        if (found_)
            ::freeaddrinfo(found_);
    }
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;
    const addrinfo* get() const { return found_; }

private:
    addrinfo* found_ = nullptr;
};

} // namespace

NetStatus probeServer(const std::string& server, std::chrono::milliseconds limit, const CancelToken* cancel,
                      int port)
{
    const auto deadline = Clock::now() + limit;
    const AddressList addresses(server, port);
    if (!addresses.get())
        return NetStatus::Success;
    Socket s;
    switch (connectAny(addresses.get(), deadline, cancel, s)) {
    case Connect::Refused:
        return NetStatus::Success; // the helper fails on it quickly by itself
    case Connect::NoConnection:
        return NetStatus::BadNetPath;
    case Connect::Cancelled:
        return NetStatus::Cancelled;
    case Connect::Connected:
        break;
    }
    static constexpr auto request = negotiation();
    if (::send(s.fd(), request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
        return NetStatus::Success; // a reset: the helper finds out as quickly
    const Wait w = waitFor(s.fd(), POLLIN, deadline, cancel);
    return w == Wait::Ready ? NetStatus::Success : w == Wait::Cancelled ? NetStatus::Cancelled : NetStatus::ServerUnavailable;
}

bool acceptsConnection(const std::string& server, int port, std::chrono::milliseconds limit,
                       const CancelToken* cancel)
{
    const auto deadline = Clock::now() + limit;
    const AddressList addresses(server, port);
    Socket s;
    return addresses.get() && connectAny(addresses.get(), deadline, cancel, s) == Connect::Connected;
}

} // namespace rm
