#include "adapters/netapi/HelperTemplate.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace rm {

std::unique_ptr<HelperTemplate> HelperTemplate::start(const std::string& path)
{
    auto process = HelperProcess::start(path, HelperProcess::Role::Template);
    if (!process)
        return nullptr;
    return std::unique_ptr<HelperTemplate>(new HelperTemplate(std::move(process)));
}

std::unique_ptr<HelperProcess> HelperTemplate::fork(std::chrono::milliseconds limit)
{
    if (!process_ || !process_->alive())
        return nullptr;
    const int control = process_->fd_;
    const char wanted = 1;
    pollfd answered{control, POLLIN, 0};
    int ready = -1;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    if (::send(control, &wanted, 1, MSG_NOSIGNAL) == 1) {
        do {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            ready = ::poll(&answered, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
        } while (ready < 0 && errno == EINTR);
    }
    std::int32_t pid = 0;
    iovec io{&pid, sizeof pid};
    alignas(cmsghdr) char space[CMSG_SPACE(2 * sizeof(int))] = {};
    msghdr m{};
    m.msg_iov = &io;
    m.msg_iovlen = 1;
    m.msg_control = space;
    m.msg_controllen = sizeof space;
    ssize_t n = -1;
    if (ready > 0)
        while ((n = ::recvmsg(control, &m, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {}
    // The buffer holds two: the kernel closes any more, and says so.
    int fds[2] = {-1, -1};
    const cmsghdr* c = n > 0 ? CMSG_FIRSTHDR(&m) : nullptr;
    if (c && c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
        const std::size_t count = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
        std::memcpy(fds, CMSG_DATA(c), std::min<std::size_t>(count, 2) * sizeof(int));
    }
    if (n == static_cast<ssize_t>(sizeof pid) && pid > 0 && fds[0] >= 0 && fds[1] >= 0 && !(m.msg_flags & MSG_CTRUNC))
        return HelperProcess::adopt(pid, fds[0], fds[1]);
    for (int fd : fds)
        if (fd >= 0)
            ::close(fd);
    // A fork that failed once says nothing of the next. Silence, a broken
    // channel or a template that cannot watch its helpers says it is of no
    // use: it goes with its channel, so a helper it hands over late finds
    // its own channel closed and ends.
    if (n != static_cast<ssize_t>(sizeof pid) || pid < 0)
        process_.reset();
    return nullptr;
}

} // namespace rm
