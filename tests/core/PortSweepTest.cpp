// The liveness step by the file-sharing port: which names go, in what order,
// many probes at once, and what a cancel leaves.
#include "core/search/PortSweep.h"
#include "support/FakePortProbe.h"
#include "support/TestThreads.h"

#include <gtest/gtest.h>

#include <thread>

namespace rm {
namespace {

using Names = std::vector<std::string>;

class PortSweepTest : public ::testing::Test {
protected:
    TableProbe probe;
    TestThreads threads;
    Progress<SearchProgress> progress;
    CancelToken cancel;

    Names closed(const Names& names) { return PortSweep::closed(names, {probe, threads}, progress, cancel); }
    static Names numbered(const std::string& stem, int n)
    {
        Names names;
        for (int i = 0; i < n; ++i)
            names.push_back(stem + std::to_string(i));
        return names;
    }
    void waitForHeldProbes()
    {
        for (int i = 0; i < 5000 && probe.inFlight < static_cast<int>(PortSweep::Parallel); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
};

TEST_F(PortSweepTest, RemovesWhatTakesNoConnectionInTheirOrder)
{
    probe.open = {"PC01", "PC03"};
    EXPECT_EQ(closed({"PC01", "PC02", "PC03", "PC04"}), (Names{"PC02", "PC04"}));
    EXPECT_EQ(probe.probes, 4);
    EXPECT_EQ(probe.lastPort, 445);
    EXPECT_EQ(probe.lastLimit.load(), PortSweep::Limit);
    const LivenessProgress l = progress.value().liveness;
    EXPECT_EQ(l.phase, LivenessProgress::Phase::Probing);
    EXPECT_EQ(l.probed, 4u);
    EXPECT_EQ(l.toProbe, 4u);
}

TEST_F(PortSweepTest, ProbesManyAtOnceButNoMoreThanItsLimit)
{
    probe.hold = true;
    Names removed;
    std::thread sweep([&] { removed = closed(numbered("GONE", 200)); });
    waitForHeldProbes();
    EXPECT_EQ(probe.inFlight, static_cast<int>(PortSweep::Parallel));
    probe.hold = false;
    sweep.join();
    EXPECT_EQ(probe.maxInFlight, static_cast<int>(PortSweep::Parallel));
    EXPECT_EQ(removed.size(), 200u);
}

TEST_F(PortSweepTest, TheSweepsOwnThreadProbesWhenNoOtherStarts)
{
    probe.open = {"B"};
    threads.refused = -1;
    EXPECT_EQ(closed({"A", "B", "C"}), (Names{"A", "C"}));
    EXPECT_EQ(probe.probes, 3);
}

TEST_F(PortSweepTest, ACancelKeepsWhatWasNotProbed)
{
    probe.hold = true;
    Names removed{"not run"};
    std::thread sweep([&] { removed = closed(numbered("N", 300)); });
    waitForHeldProbes();
    cancel.cancel();
    sweep.join();
    EXPECT_TRUE(removed.empty()); // the cut probes proved nothing either
    EXPECT_LE(probe.probes, static_cast<int>(PortSweep::Parallel));
}

TEST_F(PortSweepTest, NoNamesProbesNothing)
{
    EXPECT_TRUE(closed({}).empty());
    EXPECT_EQ(probe.probes, 0);
    EXPECT_EQ(threads.started, 0);
}

} // namespace
} // namespace rm
