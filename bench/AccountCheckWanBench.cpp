// The account check across a wide-area network: the lab's WAN computers,
// behind its relay (a fixed delay each way), searched by the program as it
// is and by the program held to a number of checks in flight (32 unless
// --in-flight says otherwise), turn about, three times each. Runs inside the lab
// (lab/run); its last line holds the figures. max_in_flight is the most
// checks the relay carried at once during the program's own runs: connections
// that carried more than the reachability probe's negotiation.
#include "AccountCheckMeasures.h"
#include "support/LabManifest.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

using namespace rm;
using namespace rm::bench;

namespace {

std::string labFile(const char* name)
{
    const char* dir = std::getenv("RMLAB_DIR");
    return std::string(dir ? dir : "") + "/" + name;
}

struct RelayStatus {
    long checks = 0, maxConnections = 0, maxChecks = 0, pid = 0;
};

RelayStatus relayStatus()
{
    std::ifstream in(labFile("relay.status"));
    RelayStatus s;
    std::string key;
    long value = 0;
    while (in >> key >> value) {
        if (key == "checks")
            s.checks = value;
        else if (key == "max")
            s.maxConnections = value;
        else if (key == "maxchecks")
            s.maxChecks = value;
        else if (key == "pid")
            s.pid = value;
    }
    return s;
}

// The most connections open at once from now on, read after the run. The
// last run's checks close first: the relay delays their ends too.
void resetRelayMaximum()
{
    RelayStatus s = relayStatus();
    for (int i = 0; i < 100 && s.checks > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        s = relayStatus();
    }
    if (s.checks > 0)
        std::fprintf(stderr, "%ld checks of the last run still open: counted in this one's most\n", s.checks);
    if (s.pid > 0)
        ::kill(static_cast<pid_t>(s.pid), SIGUSR1);
    // It notices within one turn of its loop and says so within 100 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
}

struct WanRun {
    SearchRun search;
    long maxInFlight = 0, maxConnections = 0;
    double pssAllHelpers = 0;
};

WanRun run(const LabManifest& lab, const std::vector<std::string>& names, std::size_t helpers)
{
    NetApiClient::Settings settings{HELPER_PATH};
    if (helpers)
        settings.helpers = settings.mostHelpers = helpers;
    NetApiClient net(settings);
    net.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    resetRelayMaximum();
    WanRun r;
    r.search = checkAll(net, names);
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    const RelayStatus relay = relayStatus();
    r.maxInFlight = relay.maxChecks;
    r.maxConnections = relay.maxConnections;
    for (pid_t pid : poolProcesses(net))
        r.pssAllHelpers += pssMegabytes(pid);
    return r;
}

} // namespace

int main(int argc, char** argv)
{
    const LabManifest lab = LabManifest::load();
    if (!lab.available() || !lab.json.contains("wan")) {
        std::fprintf(stderr, "run inside the lab: scripts/bench account-check-wan [COMPUTERS] [--in-flight N]\n");
        return 2;
    }
    const int available = lab.json["wan"]["count"];
    int computers = available;
    std::size_t limited = 32;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--in-flight") == 0 && i + 1 < argc)
            limited = static_cast<std::size_t>(std::atoi(argv[++i]));
        else
            computers = std::min(std::atoi(argv[i]), available);
    }
    const std::vector<std::string> names = numberedNames(lab.json["wan"], computers);

    constexpr int Turns = 3;
    WanRun own[Turns], held[Turns];
    for (int turn = 0; turn < Turns; ++turn) {
        own[turn] = run(lab, names, 0);
        std::printf("program: %d of %d matched in %.2f s, %ld checks (%ld connections) in flight at most, %.1f ms CPU a computer "
                    "(%.1f in helpers), helpers' PSS %.0f MB\n",
                    own[turn].search.found, computers, own[turn].search.seconds, own[turn].maxInFlight, own[turn].maxConnections,
                    own[turn].search.cpuMs / computers, own[turn].search.helpersCpuMs / computers, own[turn].pssAllHelpers);
        std::fflush(stdout);
        held[turn] = run(lab, names, limited);
        std::printf("held to %zu: %d of %d matched in %.2f s, %ld checks (%ld connections) in flight at most, %.1f ms CPU a computer "
                    "(%.1f in helpers), helpers' PSS %.0f MB\n",
                    limited, held[turn].search.found, computers, held[turn].search.seconds, held[turn].maxInFlight,
                    held[turn].maxConnections,
                    held[turn].search.cpuMs / computers, held[turn].search.helpersCpuMs / computers, held[turn].pssAllHelpers);
        std::fflush(stdout);
    }
    const auto mean = [](const WanRun (&runs)[Turns], auto field) {
        double sum = 0;
        for (const WanRun& r : runs)
            sum += field(r);
        return sum / Turns;
    };
    const double seconds = mean(own, [](const WanRun& r) { return r.search.seconds; });
    const double secondsAt32 = mean(held, [](const WanRun& r) { return r.search.seconds; });
    const double cpu = mean(own, [](const WanRun& r) { return r.search.cpuMs; }) / computers;
    double pss = 0;
    long inFlight = 0;
    bool allFound = true;
    for (int turn = 0; turn < Turns; ++turn) {
        pss = std::max(pss, own[turn].pssAllHelpers);
        inFlight = std::max(inFlight, own[turn].maxInFlight);
        allFound = allFound && own[turn].search.found == computers && held[turn].search.found == computers;
    }
    std::printf("computers=%d seconds=%.2f seconds_at_%zu=%.2f max_in_flight=%ld client_cpu_ms_per_computer=%.1f "
                "pss_mb_all_helpers=%.0f\n",
                computers, seconds, limited, secondsAt32, inFlight, cpu, pss);
    return allFound ? 0 : 1;
}
