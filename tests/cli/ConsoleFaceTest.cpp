// The console's main thread as a job's face: what a job posts runs there,
// and a real Ctrl+C cancels the running job and every later one.
#include "cli/ConsoleFace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
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

} // namespace
} // namespace rm
