#include "platform/samba/ServerProbe.h"

#include <array>
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
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

enum class Wait { Ready, TimedOut, Cancelled };

Wait waitFor(int fd, short events, Clock::time_point deadline, const std::atomic<bool>* cancel)
{
    for (;;) {
        if (cancel && cancel->load(std::memory_order_acquire))
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

} // namespace

NetStatus probeServer(const std::string& server, std::chrono::milliseconds limit, const std::atomic<bool>* cancel,
                      int port)
{
    const auto deadline = Clock::now() + limit;
    const std::size_t start = server.find_first_not_of('\\');
    const std::string name = start == std::string::npos ? std::string() : server.substr(start);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (name.empty() || ::getaddrinfo(name.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return NERR_Success;
    NetStatus status = ERROR_BAD_NETPATH;
    for (addrinfo* a = found; a && status == ERROR_BAD_NETPATH; a = a->ai_next) {
        Socket s(::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
        if (s.fd() < 0)
            continue;
        if (::connect(s.fd(), a->ai_addr, a->ai_addrlen) != 0 && errno != EINPROGRESS) {
            status = errno == ECONNREFUSED ? NERR_Success : ERROR_BAD_NETPATH;
            continue;
        }
        Wait w = waitFor(s.fd(), POLLOUT, deadline, cancel);
        if (w == Wait::Cancelled)
            status = ERROR_CANCELLED;
        if (w != Wait::Ready)
            break;
        int error = 0;
        socklen_t size = sizeof error;
        ::getsockopt(s.fd(), SOL_SOCKET, SO_ERROR, &error, &size);
        if (error != 0) {
            status = error == ECONNREFUSED ? NERR_Success : ERROR_BAD_NETPATH;
            continue;
        }
        static constexpr auto request = negotiation();
        if (::send(s.fd(), request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
            status = NERR_Success; // a reset: the helper finds out as quickly
            break;
        }
        w = waitFor(s.fd(), POLLIN, deadline, cancel);
        status = w == Wait::Ready ? NERR_Success : w == Wait::Cancelled ? ERROR_CANCELLED : RPC_S_SERVER_UNAVAILABLE;
    }
    ::freeaddrinfo(found);
    return status;
}

} // namespace rm
