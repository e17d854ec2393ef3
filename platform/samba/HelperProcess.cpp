#include "platform/samba/HelperProcess.h"

#include "platform/samba/HelperProtocol.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace rm {
namespace {

using Clock = std::chrono::steady_clock;

bool waitReadable(int fd, Clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        int n = ::poll(&p, 1, static_cast<int>(left.count()));
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0;
    }
}

bool readWithin(int fd, char* data, std::size_t size, Clock::time_point deadline)
{
    while (size > 0) {
        if (!waitReadable(fd, deadline))
            return false;
        ssize_t n = ::read(fd, data, size);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::unique_ptr<HelperProcess> HelperProcess::start(const std::string& path)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return nullptr;
    int child = fds[1];
    if (child == 3) { // dup2 onto itself would keep close-on-exec
        child = ::fcntl(fds[1], F_DUPFD_CLOEXEC, 4);
        ::close(fds[1]);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, child, 3);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(child);
    if (rc != 0) {
        ::close(fds[0]);
        return nullptr;
    }
    return std::unique_ptr<HelperProcess>(new HelperProcess(pid, fds[0]));
}

HelperProcess::~HelperProcess()
{
    kill();
    ::close(fd_);
}

void HelperProcess::kill()
{
    if (!alive_.exchange(false, std::memory_order_acq_rel))
        return;
    ::kill(pid_, SIGKILL);
    while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
}

std::optional<std::string> HelperProcess::call(const std::string& request, std::chrono::milliseconds limit)
{
    if (!alive_)
        return std::nullopt;
    const auto deadline = Clock::now() + limit;
    // The helper reads every request whole, so a blocking write cannot stall.
    if (!writeFrame(fd_, request)) {
        kill();
        return std::nullopt;
    }
    char header[4];
    if (!readWithin(fd_, header, 4, deadline)) {
        kill();
        return std::nullopt;
    }
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
        size |= std::uint32_t(static_cast<unsigned char>(header[i])) << (8 * i);
    std::string answer(size, '\0');
    if (size > MaxFrame || !readWithin(fd_, answer.data(), size, deadline)) {
        kill();
        return std::nullopt;
    }
    return answer;
}

} // namespace rm
