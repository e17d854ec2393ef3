#pragma once

#include <cstddef>
#include <cstdint>

namespace rm {

enum class SearchStep { Discovery, Liveness, Check };

struct DiscoveryProgress {
    bool listing = false; // while the browse list or the directory is read
};

struct LivenessProgress {
    enum class Phase { Starting, Resolving, Pinging, Probing };
    Phase phase = Phase::Starting;
    std::size_t computers = 0; // looked at by the step
    // Resolving: names done, under way, and not yet begun; counted once the
    // first look-ups have started.
    bool resolutionCounted = false;
    int resolved = 0, resolving = 0;
    std::size_t unresolved = 0;
    // Pinging: the round and when it began, the requests sent and the valid replies.
    int round = 0;
    std::uint32_t elapsedMs = 0;
    int pingsSent = 0, repliesReceived = 0;
    // Probing the file-sharing port.
    std::size_t probed = 0, toProbe = 0;
};

struct CheckProgress {
    std::uint32_t done = 0, total = 0;
};

// How far a search has come: its step, and each step's own figures.
struct SearchProgress {
    SearchStep step = SearchStep::Discovery;
    DiscoveryProgress discovery;
    LivenessProgress liveness;
    CheckProgress check;
};

} // namespace rm
