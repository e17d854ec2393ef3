#include "adapters/netapi/HelperPool.h"
#include "helper/HelperProtocol.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace rm {
namespace {

using namespace std::chrono_literals;

std::string echo(const std::string& text, std::uint32_t sleepMs = 0)
{
    WireWriter w;
    if (sleepMs)
        w.number(2).number(sleepMs);
    else
        w.number(1);
    return w.text(text).bytes();
}

// The helper's pid and the echoed text.
std::pair<std::uint32_t, std::string> answer(const std::string& bytes)
{
    WireReader r(bytes);
    std::uint32_t pid = 0;
    std::string text;
    EXPECT_TRUE(r.number(pid) && r.text(text) && r.atEnd());
    return {pid, text};
}

TEST(HelperProtocol, RoundTripAndTruncatedInput)
{
    WireWriter w;
    w.number(0xDEADBEEF).text("").text(std::string("a\0b", 3)).number(7);
    WireReader r(w.bytes());
    std::uint32_t n = 0;
    std::string a, b;
    ASSERT_TRUE(r.number(n) && r.text(a) && r.text(b));
    EXPECT_EQ(n, 0xDEADBEEF);
    EXPECT_EQ(b, std::string("a\0b", 3));
    ASSERT_TRUE(r.number(n));
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.number(n));

    const std::string cut = w.bytes().substr(0, 9); // a text's length promising more than is there
    WireReader short_(cut);
    ASSERT_TRUE(short_.number(n));
    ASSERT_TRUE(short_.text(a));
    EXPECT_FALSE(short_.text(b));
}

TEST(HelperProtocol, FramesOverASocket)
{
    int fds[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    ASSERT_TRUE(writeFrame(fds[0], "hello"));
    ASSERT_TRUE(writeFrame(fds[0], ""));
    std::string got;
    ASSERT_TRUE(readFrame(fds[1], got));
    EXPECT_EQ(got, "hello");
    ASSERT_TRUE(readFrame(fds[1], got));
    EXPECT_EQ(got, "");
    // A frame announcing more than the limit is refused, not allocated.
    const char huge[4] = {'\xff', '\xff', '\xff', '\x7f'};
    ASSERT_EQ(::write(fds[0], huge, 4), 4);
    EXPECT_FALSE(readFrame(fds[1], got));
    ::close(fds[0]);
    EXPECT_FALSE(readFrame(fds[1], got));
    ::close(fds[1]);
}

TEST(HelperProcess, AnswersTimesOutAndDies)
{
    auto helper = HelperProcess::start(ECHO_HELPER);
    ASSERT_TRUE(helper);
    auto reply = helper->call(echo("one"), 2000ms);
    ASSERT_TRUE(reply);
    EXPECT_EQ(answer(*reply).first, static_cast<std::uint32_t>(helper->pid()));
    EXPECT_EQ(answer(*reply).second, "one");

    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(helper->call(echo("slow", 5000), 200ms));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
    EXPECT_FALSE(helper->alive());
    EXPECT_FALSE(helper->call(echo("after"), 200ms));

    auto crashing = HelperProcess::start(ECHO_HELPER);
    ASSERT_TRUE(crashing);
    EXPECT_FALSE(crashing->call(WireWriter().number(3).bytes(), 2000ms));
    EXPECT_FALSE(crashing->alive());

    EXPECT_FALSE(HelperProcess::start("/nonexistent/helper"));
}

// A descriptor the program was handed without close-on-exec (a password's,
// say) or one a library left open reaches no helper: it has its channel,
// /dev/null for input and output, and the program's standard error.
// What a helper has open, by descriptor, as it says itself.
std::map<int, std::string> openDescriptorsOf(HelperProcess& helper)
{
    std::map<int, std::string> open;
    const auto reply = helper.call(WireWriter().number(4).bytes(), 2000ms);
    EXPECT_TRUE(reply);
    std::istringstream lines(reply ? answer(*reply).second : std::string());
    for (std::string line; std::getline(lines, line);)
        open[std::stoi(line)] = line.substr(line.find(' ') + 1);
    return open;
}

TEST(HelperProcess, InheritsItsChannelAndNothingElse)
{
    const int handed = ::open("/dev/null", O_RDONLY);
    int leftOpen[2];
    ASSERT_GE(handed, 0);
    ASSERT_EQ(::pipe(leftOpen), 0);
    auto helper = HelperProcess::start(ECHO_HELPER);
    ::close(handed);
    ::close(leftOpen[0]);
    ::close(leftOpen[1]);
    ASSERT_TRUE(helper);
    std::map<int, std::string> open = openDescriptorsOf(*helper);
    EXPECT_EQ(open.size(), 4u);
    EXPECT_EQ(open[0], "/dev/null");
    EXPECT_EQ(open[1], "/dev/null");
    EXPECT_TRUE(open.count(2));
    EXPECT_EQ(open[3].rfind("socket:", 0), 0u);
}

TEST(HelperPool, ReusesStaysWithinItsSizeAndReplacesTheDead)
{
    HelperPool pool(ECHO_HELPER, 3);
    HelperProcess* first = pool.acquire();
    ASSERT_TRUE(first);
    pool.release(first);
    EXPECT_EQ(pool.acquire(), first); // reused, not started again
    pool.release(first);

    std::atomic<int> done{0};
    std::set<std::uint32_t> seen;
    std::mutex seenMutex;
    std::vector<std::thread> threads;
    for (int t = 0; t < 12; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 5; ++i) {
                HelperProcess* h = pool.acquire();
                ASSERT_TRUE(h);
                auto reply = h->call(echo("x", 5), 2000ms);
                pool.release(h);
                ASSERT_TRUE(reply);
                std::lock_guard lock(seenMutex);
                seen.insert(answer(*reply).first);
                ++done;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(done.load(), 60);
    EXPECT_LE(seen.size(), 3u);
    EXPECT_LE(pool.pids().size(), 3u);

    HelperProcess* doomed = pool.acquire();
    EXPECT_FALSE(doomed->call(WireWriter().number(3).bytes(), 2000ms));
    const pid_t deadPid = doomed->pid();
    pool.release(doomed);
    for (pid_t p : pool.pids())
        EXPECT_NE(p, deadPid);
    HelperProcess* next = pool.acquire();
    ASSERT_TRUE(next);
    EXPECT_TRUE(next->call(echo("fine"), 2000ms));
    pool.release(next);
}

// Whether a helper ended without being waited for. Each thread's children
// are listed apart, and the pool starts its helpers from a thread of its own.
bool hasZombieChildren()
{
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream children(task.path() / "children");
        pid_t child;
        while (children >> child) {
            std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
            const std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
            if (text.find(") Z ") != std::string::npos)
                return true;
        }
    }
    return false;
}

TEST(HelperPool, AnIdleHelperKilledFromOutsideIsReapedAndReplaced)
{
    HelperPool pool(ECHO_HELPER, 1);
    HelperProcess* helper = pool.acquire();
    ASSERT_TRUE(helper && helper->call(echo("one"), 2000ms));
    const pid_t killed = helper->pid();
    pool.release(helper);
    ::kill(killed, SIGKILL);
    std::this_thread::sleep_for(100ms); // dead, and not yet waited for
    HelperProcess* fresh = pool.acquire();
    ASSERT_TRUE(fresh);
    EXPECT_NE(fresh->pid(), killed);
    auto reply = fresh->call(echo("two"), 2000ms);
    ASSERT_TRUE(reply);
    EXPECT_EQ(answer(*reply).second, "two");
    pool.release(fresh);
    EXPECT_FALSE(hasZombieChildren());
}

bool isZombie(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return stat.find(") Z ") != std::string::npos;
}

pid_t parentOf(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string state;
    pid_t parent = 0;
    fields >> state >> parent;
    return parent;
}

// Helpers are forked from one template, itself this program's child, with
// nothing of it but their own channel; without it they are started anew
// (this stand-in's helpers end with their template, the real ones do not).
TEST(HelperPool, ForksItsHelpersFromOneTemplateAndDoesWithoutIt)
{
    HelperPool pool(ECHO_HELPER, 3);
    HelperProcess* first = pool.acquire();
    HelperProcess* second = pool.acquire();
    ASSERT_TRUE(first && second);
    const auto parent = [](HelperProcess* h) {
        const auto reply = h->call(WireWriter().number(5).bytes(), 2000ms);
        return reply ? std::stoi(answer(*reply).second) : -1;
    };
    const pid_t forker = parent(first);
    EXPECT_EQ(parent(second), forker);
    EXPECT_NE(forker, ::getpid());
    EXPECT_EQ(parentOf(forker), ::getpid());

    std::map<int, std::string> open = openDescriptorsOf(*first);
    EXPECT_EQ(open.size(), 4u);
    EXPECT_EQ(open[0], "/dev/null");
    EXPECT_EQ(open[3].rfind("socket:", 0), 0u);

    // One killed from outside is reaped by the template, not left a zombie.
    const pid_t killed = second->pid();
    ::kill(killed, SIGKILL);
    EXPECT_FALSE(second->call(echo("gone"), 2000ms));
    pool.release(second);
    const std::string entry = "/proc/" + std::to_string(killed);
    for (int i = 0; i < 200 && std::filesystem::exists(entry); ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_FALSE(std::filesystem::exists(entry));

    ::kill(forker, SIGKILL);
    for (int i = 0; i < 200 && !isZombie(forker); ++i)
        std::this_thread::sleep_for(10ms);
    HelperProcess* third = pool.acquire();
    ASSERT_TRUE(third);
    EXPECT_EQ(parent(third), ::getpid());
    pool.release(first);
    pool.release(third);
    EXPECT_FALSE(hasZombieChildren());
}

TEST(HelperPool, GrowsWhileItsHelpersWaitAndShrinksOnceTheyWork)
{
    // A quarter of a core to fill: waiting helpers are worth up to the most,
    // computing ones no more than the steady two.
    HelperPool pool(ECHO_HELPER, 2, 8, 0.25);
    std::atomic<std::size_t> most{0};
    const auto callFromEightThreads = [&](std::uint32_t op, std::uint32_t ms, int calls) {
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < calls; ++i) {
                    HelperProcess* h = pool.acquire();
                    ASSERT_TRUE(h);
                    std::size_t now = pool.pids().size(), seen = most.load();
                    while (now > seen && !most.compare_exchange_weak(seen, now)) {}
                    EXPECT_TRUE(h->call(WireWriter().number(op).number(ms).text("x").bytes(), 10s));
                    pool.release(h);
                }
            });
        for (auto& t : threads)
            t.join();
    };
    callFromEightThreads(2, 300, 4); // sleeps: the network
    EXPECT_EQ(most.load(), 8u);
    callFromEightThreads(6, 20, 8); // computes
    EXPECT_LE(pool.pids().size(), 2u);
    EXPECT_FALSE(hasZombieChildren());
}

TEST(HelperPool, AHelperThatEndsBeforeItsFirstRequestFailsTheCallOnly)
{
    // Writing to it must not raise SIGPIPE, which would end this program.
    HelperPool pool("/bin/true", 2);
    for (int i = 0; i < 3; ++i) {
        HelperProcess* h = pool.acquire();
        ASSERT_TRUE(h);
        std::this_thread::sleep_for(50ms); // gone before the request
        EXPECT_FALSE(h->call(echo(std::string(1 << 20, 'x')), 2000ms));
        EXPECT_FALSE(h->alive());
        pool.release(h);
    }
    EXPECT_TRUE(pool.pids().empty());
    EXPECT_FALSE(hasZombieChildren());
}

TEST(HelperPool, ACancelEndsTheWaitForABusyPool)
{
    HelperPool pool(ECHO_HELPER, 1);
    HelperProcess* busy = pool.acquire();
    ASSERT_TRUE(busy);
    CancelToken cancel;
    std::thread canceller([&] {
        std::this_thread::sleep_for(100ms);
        cancel.cancel();
    });
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(pool.acquire(&cancel), nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1000ms);
    canceller.join();
    pool.release(busy);
    EXPECT_EQ(pool.acquire(&cancel), busy); // a free helper is given even then
    pool.release(busy);
}

TEST(HelperPool, HelpersOutliveTheThreadsThatAskedForThem)
{
    // They are started by the pool's own thread, so a helper that ends with
    // the thread that started it stays while callers come and go.
    HelperPool pool(ECHO_HELPER, 1);
    pid_t pid = 0;
    std::thread([&] {
        HelperProcess* h = pool.acquire();
        pid = h->pid();
        EXPECT_TRUE(h->call(echo("up and running"), 2000ms));
        pool.release(h);
    }).join();
    std::this_thread::sleep_for(100ms); // time enough for a helper to follow its thread
    HelperProcess* again = pool.acquire();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->pid(), pid);
    EXPECT_TRUE(again->call(echo("still here"), 2000ms));
    pool.release(again);
}

TEST(HelperPool, AHelperThatCannotStartIsReportedNotAwaited)
{
    HelperPool pool("/nonexistent/helper", 1);
    EXPECT_EQ(pool.acquire(), nullptr);
    EXPECT_EQ(pool.acquire(), nullptr); // the failed start gave its place back
}

} // namespace
} // namespace rm
