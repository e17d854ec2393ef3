#include "adapters/netapi/HelperProcess.h"

#include "helper/ForkServer.h"
#include "helper/HelperProtocol.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace rm {

std::unique_ptr<HelperProcess> HelperProcess::start(const std::string& path, Role role)
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
    char* argv[] = {const_cast<char*>(path.c_str()), nullptr, nullptr};
    std::vector<char*> environment;
    char bindNow[] = "LD_BIND_NOW=1";
    if (role == Role::Template) {
        argv[1] = const_cast<char*>(TemplateArgument);
        for (char** e = environ; *e; ++e)
            environment.push_back(*e);
        environment.push_back(bindNow);
    }
    environment.push_back(nullptr);
    pid_t pid = 0;
    int rc = ::posix_spawn(&pid, path.c_str(), &actions, &attributes, argv,
                           role == Role::Template ? environment.data() : environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(child);
    if (rc != 0) {
        ::close(fds[0]);
        return nullptr;
    }
    return std::unique_ptr<HelperProcess>(new HelperProcess(pid, fds[0], -1));
}

std::unique_ptr<HelperProcess> HelperProcess::adopt(pid_t pid, int channel, int process)
{
    return std::unique_ptr<HelperProcess>(new HelperProcess(pid, channel, process));
}

HelperProcess::~HelperProcess()
{
    kill();
    ::close(fd_);
    if (process_ >= 0)
        ::close(process_);
}

void HelperProcess::kill()
{
    if (!alive_.exchange(false, std::memory_order_acq_rel))
        return;
    if (process_ < 0) {
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {}
        return;
    }
    // Its template reaps it; the descriptor says when it is gone, and a pid
    // reused meanwhile is never signalled.
    ::syscall(SYS_pidfd_send_signal, process_, SIGKILL, nullptr, 0);
    pollfd gone{process_, POLLIN, 0};
    while (::poll(&gone, 1, -1) < 0 && errno == EINTR) {}
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

std::optional<std::chrono::nanoseconds> HelperProcess::coreDemand() const
{
    // The scheduler's own counts, in nanoseconds (a check's few milliseconds
    // are below /proc's clock ticks), of the helper's main thread: the one
    // that works. Time spent waiting for a core counts, so that a machine
    // already busy does not read as helpers idling on the network. A kernel
    // that keeps no such counts shows zeros: nothing known.
    std::ifstream in("/proc/" + std::to_string(pid_) + "/schedstat");
    long long ran = -1, waited = -1;
    if (!(in >> ran >> waited) || ran <= 0 || waited < 0)
        return std::nullopt;
    return std::chrono::nanoseconds(ran + waited);
}

} // namespace rm
