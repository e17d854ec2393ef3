#include "adapters/netapi/HelperProcess.h"

#include "helper/HelperProtocol.h"

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
    // The helper gets its channel and the program's standard error, nothing
    // else: no descriptor a password came through, none a library left open.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, child, 3); // first: the pair may sit at 0 or 1
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 4);
    // The helper starts with no signal blocked, whatever this thread blocks.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr};
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
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

bool HelperProcess::diedWhileIdle()
{
    if (!alive())
        return true;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) == 0)
        return false;
    kill();
    return true;
}

std::optional<std::string> HelperProcess::call(const std::string& request, std::chrono::milliseconds limit)
{
    if (!alive_)
        return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    // The helper reads every request whole, so a blocking write cannot stall.
    if (!writeFrame(fd_, request)) {
        kill();
        return std::nullopt;
    }
    std::string answer;
    if (!readFrame(fd_, answer, deadline)) {
        kill();
        return std::nullopt;
    }
    return answer;
}

} // namespace rm
