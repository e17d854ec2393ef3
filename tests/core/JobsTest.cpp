// The shape of a long task: progress notices, a job's end told on the
// face's thread, and many items worked on at once.
#include "core/jobs/Job.h"
#include "core/jobs/ParallelWork.h"
#include "core/jobs/Progress.h"
#include "support/ManualUiThread.h"
#include "support/TestThreads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

namespace rm {
namespace {

using namespace std::chrono_literals;

TEST(Progress, ManyChangesWaitAsOneNoticeThatReadsTheLatest)
{
    ManualUiThread face;
    std::vector<int> seen;
    Progress<int> progress(face, [&](const int& value) { seen.push_back(value); });
    std::thread job([&] {
        for (int i = 0; i < 1000; ++i)
            progress.update([](int& v) { ++v; });
    });
    job.join();
    EXPECT_EQ(face.waiting(), 1u);
    EXPECT_TRUE(seen.empty()); // told only on the face's thread
    progress.update([](int& v) { v += 10; });
    EXPECT_EQ(face.runPosted(), 1);
    EXPECT_EQ(seen, std::vector<int>{1010});
    // Once the notice has run, the next change posts one again.
    progress.update([](int& v) { ++v; });
    EXPECT_EQ(face.runPosted(), 1);
    EXPECT_EQ(seen, (std::vector<int>{1010, 1011}));
    EXPECT_EQ(progress.value(), 1011);
}

TEST(Progress, ANoticeStillWaitingWhenTheProgressIsGoneDoesNothing)
{
    ManualUiThread face;
    int notices = 0;
    {
        Progress<int> progress(face, [&](const int&) { ++notices; });
        progress.update([](int& v) { v = 5; });
    }
    EXPECT_EQ(face.runPosted(), 1);
    EXPECT_EQ(notices, 0);
}

TEST(Job, ItsEndIsToldOnTheFacesThreadOnlyWhileTheJobLives)
{
    ManualUiThread face;
    const std::thread::id faceThread = std::this_thread::get_id();
    std::thread::id workedOn, endedOn;
    int ended = 0;
    {
        Job job([&](const CancelToken&) { workedOn = std::this_thread::get_id(); });
        job.start(face, [&] {
            ++ended;
            endedOn = std::this_thread::get_id();
        });
        EXPECT_EQ(face.runNext(), 1);
        EXPECT_TRUE(job.hasEnded());
        EXPECT_EQ(ended, 1);
        EXPECT_EQ(endedOn, faceThread);
        EXPECT_NE(workedOn, faceThread);
    }

    // A job cancelled and gone before its end is told: the destructor waits
    // for the task, and the end waiting on the face's thread is dropped.
    bool taskReturned = false;
    {
        Job job([&](const CancelToken& cancel) {
            while (!cancel.cancelled())
                std::this_thread::sleep_for(1ms);
            taskReturned = true;
        });
        job.start(face, [&] { ++ended; });
        EXPECT_TRUE(job.started());
        EXPECT_FALSE(job.hasEnded());
        job.cancel();
        EXPECT_TRUE(job.cancelRequested());
    }
    EXPECT_TRUE(taskReturned);
    EXPECT_EQ(face.runPosted(), 1);
    EXPECT_EQ(ended, 1);
}

class WorkInParallelTest : public ::testing::Test {
protected:
    TestThreads threads;
    CancelToken cancel;
    std::mutex mutex;
    std::vector<std::size_t> worked, unstarted;
    std::vector<std::thread::id> unstartedOn;

    void run(std::size_t width, std::size_t count, const std::function<void()>& during = [] {})
    {
        workInParallel(
            threads, {width, 0, ThreadStarter::Priority::Normal}, count, cancel,
            [&](std::size_t i) {
                during();
                std::lock_guard lock(mutex);
                worked.push_back(i);
            },
            [&](std::size_t i) {
                std::lock_guard lock(mutex);
                unstarted.push_back(i);
                unstartedOn.push_back(std::this_thread::get_id());
            });
    }
    static std::vector<std::size_t> sorted(std::vector<std::size_t> items)
    {
        std::sort(items.begin(), items.end());
        return items;
    }
    static std::vector<std::size_t> range(std::size_t from, std::size_t to)
    {
        std::vector<std::size_t> items;
        for (std::size_t i = from; i < to; ++i)
            items.push_back(i);
        return items;
    }
};

TEST_F(WorkInParallelTest, EveryItemOnceAndNeverMoreThanTheWidthAtOnce)
{
    std::atomic<int> running{0}, peak{0};
    run(8, 200, [&] {
        const int now = ++running;
        for (int seen = peak; now > seen && !peak.compare_exchange_weak(seen, now);) {}
        std::this_thread::sleep_for(1ms);
        --running;
    });
    EXPECT_EQ(sorted(worked), range(0, 200)); // all of them done by the time it returns
    EXPECT_LE(peak, 8);
    EXPECT_LE(threads.started, 8);
    EXPECT_TRUE(unstarted.empty());
}

TEST_F(WorkInParallelTest, ACancelStopsTheTakingAndTheCallWaitsForTheItemsTaken)
{
    std::atomic<int> held{0};
    std::atomic<bool> release{false}, returned{false};
    std::thread caller([&] {
        run(4, 100, [&] {
            ++held;
            while (!release)
                std::this_thread::sleep_for(1ms);
        });
        returned = true;
    });
    while (held < 4)
        std::this_thread::sleep_for(1ms);
    cancel.cancel();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(returned);
    release = true;
    caller.join();
    EXPECT_EQ(held, 4);
    EXPECT_EQ(worked.size(), 4u);
    EXPECT_TRUE(unstarted.empty()); // items never taken go to neither
}

TEST_F(WorkInParallelTest, ItemsWhoseThreadCannotStartGoToTheCaller)
{
    threads.refused = 2;
    run(3, 10);
    EXPECT_EQ(unstarted, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(sorted(worked), range(2, 10));
    EXPECT_LE(threads.started, 3);

    worked.clear(), unstarted.clear(), unstartedOn.clear();
    threads.refused = -1;
    run(3, 5);
    EXPECT_EQ(unstarted, range(0, 5));
    EXPECT_TRUE(worked.empty());
    for (const std::thread::id& on : unstartedOn)
        EXPECT_EQ(on, std::this_thread::get_id());
}

} // namespace
} // namespace rm
