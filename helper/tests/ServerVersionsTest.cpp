// Versions asked in child processes under one deadline, with questions
// that answer, hang, crash or fail.
#include "helper/server_versions.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

rm_server_info101 server(const char* name, uint32_t major = 0, uint32_t minor = 0)
{
    rm_server_info101 s{};
    std::snprintf(s.name, sizeof s.name, "%s", name);
    s.version_major = major;
    s.version_minor = minor;
    return s;
}

// FAST answers 10.0 at once, SLOW after the deadline, WAIT after 300 ms;
// CRASH dies, NONE does not know.
bool fakeQuery(void*, const char* name, uint32_t version[2])
{
    if (std::strcmp(name, "SLOW") == 0)
        std::this_thread::sleep_for(std::chrono::seconds(30));
    if (std::strcmp(name, "WAIT") == 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (std::strcmp(name, "CRASH") == 0)
        std::abort();
    if (std::strcmp(name, "NONE") == 0)
        return false;
    version[0] = 10;
    version[1] = 0;
    return true;
}

bool noChildrenLeft()
{
    return ::waitpid(-1, nullptr, WNOHANG) < 0 && errno == ECHILD;
}

TEST(ServerVersions, AServerThatDoesNotAnswerKeepsWhatTheListSaid)
{
    rm_server_info101 servers[] = {server("FAST"), server("SLOW", 4, 9), server("CRASH", 5, 1), server("NONE", 6, 2),
                                   server("SKIPPED", 1, 2), server("FAST")};
    const bool wanted[] = {true, true, true, true, false, true};
    const auto started = std::chrono::steady_clock::now();
    rm_query_versions(servers, wanted, 6, 8, rm_monotonic_ms() + 1000, fakeQuery, nullptr);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(900)); // waited for SLOW until the deadline
    EXPECT_LT(took, std::chrono::milliseconds(2500));
    EXPECT_EQ(servers[0].version_major, 10u);
    EXPECT_EQ(servers[5].version_major, 10u);
    EXPECT_EQ(servers[1].version_major, 4u);
    EXPECT_EQ(servers[1].version_minor, 9u);
    EXPECT_EQ(servers[2].version_major, 5u);
    EXPECT_EQ(servers[3].version_minor, 2u);
    EXPECT_EQ(servers[4].version_major, 1u);
    EXPECT_TRUE(noChildrenLeft());
}

TEST(ServerVersions, NoMoreAtOnceThanAllowed)
{
    rm_server_info101 servers[] = {server("WAIT"), server("WAIT"), server("WAIT"), server("WAIT")};
    const bool wanted[] = {true, true, true, true};
    const auto started = std::chrono::steady_clock::now();
    rm_query_versions(servers, wanted, 4, 2, rm_monotonic_ms() + 10000, fakeQuery, nullptr);
    const auto took = std::chrono::steady_clock::now() - started;
    // Two rounds of two; all answered, long before the deadline.
    EXPECT_GE(took, std::chrono::milliseconds(600));
    EXPECT_LT(took, std::chrono::milliseconds(3000));
    for (const auto& s : servers)
        EXPECT_EQ(s.version_major, 10u);
    EXPECT_TRUE(noChildrenLeft());
}

TEST(ServerVersions, APassedDeadlineAsksNothing)
{
    rm_server_info101 servers[] = {server("FAST", 3, 1)};
    const bool wanted[] = {true};
    rm_query_versions(servers, wanted, 1, 4, rm_monotonic_ms() - 1, fakeQuery, nullptr);
    EXPECT_EQ(servers[0].version_major, 3u);
    EXPECT_TRUE(noChildrenLeft());
}

} // namespace
