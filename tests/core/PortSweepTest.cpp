// The liveness step by the file-sharing port: which names go, in what order,
// many probes at once, and what a cancel leaves.
#include "core/search/PortSweep.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"

#include "support/Doubles.h"
#include "support/FakePortProbe.h"

#include <gtest/gtest.h>

#include <thread>

namespace rm {
namespace {

// Runs the sweep to its end as a window would.
void runToEnd(PortSweep& sweep, RecordingPoster& poster)
{
    sweep.start(poster);
    while (!sweep.isFinished())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    sweep.join();
}

TEST(PortSweep, RemovesWhatTakesNoConnectionInTheirOrder)
{
    TableProbe probe;
    probe.open = {"PC01", "PC03"};
    PosixThreadStarter threads;
    PortSweep sweep({"PC01", "PC02", "PC03", "PC04"}, {probe, threads});
    RecordingPoster poster;
    runToEnd(sweep, poster);
    EXPECT_EQ(sweep.removalList(), (std::vector<std::string>{"PC02", "PC04"}));
    EXPECT_EQ(probe.probes, 4);
    EXPECT_EQ(probe.lastPort, 445);
    EXPECT_EQ(probe.lastLimit.load(), PortSweep::Limit);
    EXPECT_TRUE(poster.hasPosted(MessageFinished));
    EXPECT_EQ(poster.posts.back().message, MessageFinished);
    int progress = 0;
    for (const auto& p : poster.posts)
        progress += p.message == MessageProgress && p.lParam == 4;
    EXPECT_EQ(progress, 4);
}

TEST(PortSweep, ProbesManyAtOnceButNoMoreThanItsLimit)
{
    TableProbe probe;
    probe.hold = true;
    PosixThreadStarter threads;
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i)
        names.push_back("GONE" + std::to_string(i));
    PortSweep sweep(names, {probe, threads});
    RecordingPoster poster;
    sweep.start(poster);
    for (int i = 0; i < 2000 && probe.inFlight < PortSweep::Parallel; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(probe.inFlight, PortSweep::Parallel);
    probe.hold = false;
    while (!sweep.isFinished())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    sweep.join();
    EXPECT_EQ(probe.maxInFlight, PortSweep::Parallel);
    EXPECT_EQ(sweep.removalList().size(), 200u);
}

// A starter that starts nothing: the sweep's own thread does the work.
class NoThreads : public ThreadStarter {
public:
    bool start(std::function<void()>, std::size_t, Priority) override { return false; }
};

TEST(PortSweep, EndsWhenNoThreadStarts)
{
    TableProbe probe;
    probe.open = {"B"};
    NoThreads threads;
    PortSweep sweep({"A", "B", "C"}, {probe, threads});
    RecordingPoster poster;
    runToEnd(sweep, poster);
    EXPECT_EQ(sweep.removalList(), (std::vector<std::string>{"A", "C"}));
}

TEST(PortSweep, ACancelKeepsWhatWasNotProbed)
{
    TableProbe probe;
    probe.hold = true;
    PosixThreadStarter threads;
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i)
        names.push_back("N" + std::to_string(i));
    PortSweep sweep(names, {probe, threads});
    RecordingPoster poster;
    sweep.start(poster);
    while (probe.inFlight < PortSweep::Parallel)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    sweep.requestCancel();
    while (!sweep.isFinished())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    sweep.join();
    EXPECT_TRUE(sweep.removalList().empty()); // the cut probes proved nothing either
    EXPECT_LE(probe.probes, PortSweep::Parallel);
}

TEST(PortSweep, NoNamesEndsAtOnce)
{
    TableProbe probe;
    PosixThreadStarter threads;
    PortSweep sweep({}, {probe, threads});
    RecordingPoster poster;
    runToEnd(sweep, poster);
    EXPECT_TRUE(sweep.removalList().empty());
    EXPECT_EQ(probe.probes, 0);
}

} // namespace
} // namespace rm
