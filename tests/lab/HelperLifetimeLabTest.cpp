// The helper ends with the program: when the program's end of its channel
// closes, while a call hangs on a silent server as well as before the
// helper has read anything.
#include "helper/HelperProtocol.h"
#include "support/LabManifest.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace rm {
namespace {

using namespace std::chrono_literals;

// The helper with its channel on descriptor 3, as the pool starts it.
pid_t startHelper(int& programEnd)
{
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    char* argv[] = {const_cast<char*>(HELPER_PATH), nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, HELPER_PATH, &actions, nullptr, argv, environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    programEnd = fds[0];
    return pid;
}

bool endsWithin(pid_t pid, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(20ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return false;
}

TEST(HelperLifetime, EndsWhenTheProgramGoesDuringACall)
{
    LabManifest lab = LabManifest::load();
    int channel = -1;
    const pid_t pid = startHelper(channel);
    ASSERT_GT(pid, 0);
    WireWriter credentials;
    credentials.number(static_cast<std::uint32_t>(HelperOp::SetCredentials)).text(lab.json["operator"]["user"])
        .text(lab.json["domain"]["netbios"]).text(lab.operatorPassword()).number(60).number(0);
    std::string answer;
    ASSERT_TRUE(writeFrame(channel, credentials.bytes()));
    ASSERT_TRUE(readFrame(channel, answer));
    WireWriter call;
    call.number(static_cast<std::uint32_t>(HelperOp::UserGetInfo))
        .text("\\\\" + lab.json["blackhole"]["name"].get<std::string>()).text("Administrator");
    ASSERT_TRUE(writeFrame(channel, call.bytes()));
    std::this_thread::sleep_for(500ms); // the helper now waits on the silent server, for up to a minute
    ::close(channel);
    EXPECT_TRUE(endsWithin(pid, 2s));
}

TEST(HelperLifetime, EndsAtOnceWhenTheProgramIsAlreadyGone)
{
    int channel = -1;
    const pid_t pid = startHelper(channel);
    ASSERT_GT(pid, 0);
    ::close(channel);
    EXPECT_TRUE(endsWithin(pid, 2s));
}

} // namespace
} // namespace rm
