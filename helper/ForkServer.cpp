#include "helper/ForkServer.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rm {
namespace {

void reapHelpers(int)
{
    const int saved = errno;
    while (::waitpid(-1, nullptr, WNOHANG) > 0) {}
    errno = saved;
}

// The pid as data, the helper's channel and process descriptor as rights;
// the pid alone when there are none.
bool handOver(int control, pid_t pid, int channel, int process)
{
    std::int32_t data = pid;
    iovec io{&data, sizeof data};
    alignas(cmsghdr) char space[CMSG_SPACE(2 * sizeof(int))] = {};
    msghdr m{};
    m.msg_iov = &io;
    m.msg_iovlen = 1;
    if (channel >= 0) {
        m.msg_control = space;
        m.msg_controllen = sizeof space;
        cmsghdr* c = CMSG_FIRSTHDR(&m);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(2 * sizeof(int));
        const int fds[2] = {channel, process};
        std::memcpy(CMSG_DATA(c), fds, sizeof fds);
    }
    ssize_t n;
    while ((n = ::sendmsg(control, &m, MSG_NOSIGNAL)) < 0 && errno == EINTR) {}
    return n == static_cast<ssize_t>(sizeof data);
}

} // namespace

void serveForks(int control)
{
    struct sigaction reap{};
    reap.sa_handler = reapHelpers;
    reap.sa_flags = SA_NOCLDSTOP;
    sigemptyset(&reap.sa_mask);
    ::sigaction(SIGCHLD, &reap, nullptr);
    sigset_t childEnds, before;
    sigemptyset(&childEnds);
    sigaddset(&childEnds, SIGCHLD);
    for (;;) {
        char wanted;
        const ssize_t n = ::read(control, &wanted, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ::_exit(0);
        int pair[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
            if (!handOver(control, 0, -1, -1))
                ::_exit(1);
            continue;
        }
        // A helper that dies at once stays unreaped, its pid not reused,
        // until its process descriptor is open.
        ::sigprocmask(SIG_BLOCK, &childEnds, &before);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::signal(SIGCHLD, SIG_DFL);
            ::sigprocmask(SIG_SETMASK, &before, nullptr);
            ::dup2(pair[1], control); // the template's channel is not the helper's
            ::close(pair[0]);
            ::close(pair[1]);
            return;
        }
        const int process = pid > 0 ? static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)) : -1;
        if (pid > 0 && process < 0)
            ::kill(pid, SIGKILL); // nothing could watch it; still unreaped, so still it
        ::sigprocmask(SIG_SETMASK, &before, nullptr);
        ::close(pair[1]);
        const bool sent = process >= 0 ? handOver(control, pid, pair[0], process)
                                       : handOver(control, pid > 0 ? -1 : 0, -1, -1);
        ::close(pair[0]);
        if (process >= 0)
            ::close(process);
        if (!sent)
            ::_exit(1);
    }
}

} // namespace rm
