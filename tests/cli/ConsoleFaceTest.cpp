// The console's main thread as a job's face: what a job posts runs there,
// and a real Ctrl+C cancels the running job and every later one; at a
// password prompt on a real terminal it ends the program with the echo back.
#include "cli/ConsoleFace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace rm {
namespace {

using namespace std::chrono_literals;

TEST(ConsoleFace, PostedCallsRunOnTheMainThreadInOrderBeforeRunReturns)
{
    ConsoleFace face;
    const auto main = std::this_thread::get_id();
    std::vector<int> order;
    bool allOnMain = true;
    Job job([&](const CancelToken&) {
        for (int i = 0; i < 50; ++i)
            face.post([&, i] {
                order.push_back(i);
                allOnMain = allOnMain && std::this_thread::get_id() == main;
            });
    });
    face.run(job);
    ASSERT_EQ(order.size(), 50u);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_TRUE(allOnMain);
    EXPECT_TRUE(job.hasEnded());
    EXPECT_FALSE(face.interrupted());
}

TEST(ConsoleFace, AnInterruptCancelsTheRunningJobAndTheLaterOnes)
{
    ConsoleFace face;
    bool sawCancel = false;
    Job running([&](const CancelToken& cancel) {
        ::kill(::getpid(), SIGINT);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (!cancel.cancelled() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        sawCancel = cancel.cancelled();
    });
    face.run(running);
    EXPECT_TRUE(sawCancel);
    EXPECT_TRUE(face.interrupted());

    bool cancelledFromTheStart = false;
    Job later([&](const CancelToken& cancel) { cancelledFromTheStart = cancel.cancelled(); });
    face.run(later);
    EXPECT_TRUE(cancelledFromTheStart);
}

// What the program wrote on the terminal until `expected` showed, or the time ran out.
std::string readUntil(int master, const std::string& expected, std::chrono::seconds limit)
{
    std::string seen;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (seen.find(expected) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
        pollfd wait{master, POLLIN, 0};
        if (::poll(&wait, 1, 100) <= 0)
            continue;
        char buffer[256];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        seen.append(buffer, static_cast<std::size_t>(n));
    }
    return seen;
}

// The status of `child` once it ended within `limit`; else it is killed and -1.
int exitWithin(pid_t child, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(ConsolePrompt, CtrlCAtThePasswordPromptEndsTheRunWithTheEchoBack)
{
    char home[] = "/tmp/rostermill-home.XXXXXX";
    ASSERT_NE(::mkdtemp(home), nullptr);
    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setenv("HOME", home, 1);
        ::unsetenv("LOCPATH"); // the tests' locales: glibc leaks reading them, LeakSanitizer would say so

        ::execl(ROSTERMILL_CLI, "rostermill-cli", "apply", "--set-password", "--dry-run", "PC01\\a", nullptr);
        ::_exit(127);
    }
    const int terminal = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    const std::string prompt = readUntil(master, "New password: ", 30s);
    ASSERT_NE(prompt.find("New password: "), std::string::npos) << prompt;
    termios during{};
    ASSERT_EQ(::tcgetattr(terminal, &during), 0);
    EXPECT_EQ(during.c_lflag & ECHO, 0u);

    ASSERT_EQ(::write(master, "\x03", 1), 1); // the line discipline sends SIGINT
    EXPECT_EQ(exitWithin(child, 10s), 128 + SIGINT) << readUntil(master, "(to its end)", 2s);
    termios after{};
    ASSERT_EQ(::tcgetattr(terminal, &after), 0);
    EXPECT_NE(after.c_lflag & ECHO, 0u);
    ::close(terminal);
    ::close(master);
    std::filesystem::remove_all(home);
}

} // namespace
} // namespace rm
