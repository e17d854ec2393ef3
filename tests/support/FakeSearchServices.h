#pragma once

#include "core/search/SearchServices.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/FakeIcmp.h"
#include "support/FakeNetwork.h"
#include "support/FakePortProbe.h"
#include "support/ManualClock.h"
#include "support/TestThreads.h"

namespace rm {

// Everything a search uses, as doubles: computers in memory, a directory,
// names, pings on a manual clock, port probes from a table, real threads.
struct FakeSearchServices {
    FakeNetwork network;
    FakeIdentity identity;
    FakeDirectory directory;
    FakeResolver resolver;
    ManualClock clock;
    FakeIcmp icmp{clock};
    TableProbe probe;
    TestThreads threads;

    SearchServices services() { return {network, identity, directory, resolver, icmp, probe, threads, clock}; }
};

} // namespace rm
