// The account check as the program runs it (the search's 512-slot step over
// the helper pool) against the lab's load computers, then the same look-ups with
// Samba's rpcclient in parallel (as many at once as the pool has helpers) and
// one after another; then the search again with names nobody answers mixed
// in. Runs inside the lab (lab/run); its last line holds the figures.
#include "AccountCheckMeasures.h"
#include "support/LabManifest.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace rm;
using namespace rm::bench;

namespace {

struct CommandRun {
    double seconds = 0;
    double cpuMs = 0;
};

CommandRun runCommand(const std::string& command)
{
    const double before = childrenCpuMs();
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "warning: '%s' did not succeed\n", command.c_str());
    return {secondsSince(start), childrenCpuMs() - before};
}

} // namespace

// The same look-ups as the program's, one rpcclient process per computer:
// as many at once as the program has helpers, then one after the other.
struct PeerRuns {
    bool ran = false;
    CommandRun parallel, sequential;
};

PeerRuns runPeer(const LabManifest& lab, const std::vector<std::string>& live, std::size_t helpers)
{
    char dir[] = "/tmp/rostermill-bench-XXXXXX";
    if (!::mkdtemp(dir))
        return {};
    const std::string auth = std::string(dir) + "/auth", list = std::string(dir) + "/computers";
    {
        std::ofstream a(auth);
        a << "username = " << lab.json["operator"]["user"].get<std::string>() << "\npassword = "
          << lab.operatorPassword() << "\ndomain = " << lab.json["domain"]["netbios"].get<std::string>() << "\n";
        ::chmod(auth.c_str(), 0600);
        std::ofstream l(list);
        for (const auto& n : live)
            l << n << "\n";
    }
    const std::string one = "rpcclient -A " + auth + " -c 'queryuser Administrator' ";
    PeerRuns runs{true,
                  runCommand("xargs -P " + std::to_string(helpers) + " -I{} " + one + "{} < " + list
                             + " >/dev/null 2>&1"),
                  runCommand("while read c; do " + one + "\"$c\" >/dev/null 2>&1; done < " + list)};
    std::remove(auth.c_str());
    std::remove(list.c_str());
    ::rmdir(dir);
    return runs;
}

int main(int argc, char** argv)
{
    const LabManifest lab = LabManifest::load();
    if (!lab.available()) {
        std::fprintf(stderr, "run inside the lab: scripts/bench account-check\n");
        return 2;
    }
    const int available = lab.json["load"]["count"];
    const int computers = std::min(argc > 1 ? std::atoi(argv[1]) : available, available);
    const std::vector<std::string> live = numberedNames(lab.json["load"], computers);
    const int unreachableCount = lab.json["unreachable"]["count"];
    const std::vector<std::string> gone = numberedNames(lab.json["unreachable"], unreachableCount);

    NetApiClient::Settings settings{HELPER_PATH};
    // As many as the peer runs at once.
    settings.mostHelpers = settings.helpers;
    const std::size_t helpers = settings.helpers;
    NetApiClient net(settings);
    net.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));

    const SearchRun liveRun = checkAll(net, live);
    double pssMax = 0, pssAll = 0;
    for (pid_t pid : poolProcesses(net)) {
        const double pss = pssMegabytes(pid);
        pssMax = std::max(pssMax, pss);
        pssAll += pss;
    }
    std::printf("search: %d of %d computers matched in %.2f s, %.0f ms of CPU with %zu helpers\n", liveRun.found,
                computers, liveRun.seconds, liveRun.cpuMs, net.helperProcesses().size());
    std::fflush(stdout);

    const SearchRun one = checkAll(net, {gone.front()});
    std::vector<std::string> mixed = live;
    mixed.insert(mixed.end(), gone.begin(), gone.end());
    const SearchRun mixedRun = checkAll(net, mixed);
    std::printf("one unreachable: %.2f s; %d live with %d unreachable: %.2f s\n", one.seconds, computers,
                unreachableCount, mixedRun.seconds);
    std::fflush(stdout);

    const PeerRuns peer = runPeer(lab, live, helpers);
    if (!peer.ran)
        return 1;

    std::printf("computers=%d live_seconds=%.2f rpcclient_par_seconds=%.2f rpcclient_seq_seconds=%.2f "
                "client_cpu_ms_per_computer=%.1f rpcclient_cpu_ms_per_computer=%.1f unreachable=%d "
                "mixed_seconds=%.2f unreachable_one_seconds=%.2f pss_mb_per_helper=%.1f pss_mb_all_helpers=%.1f\n",
                computers, liveRun.seconds, peer.parallel.seconds, peer.sequential.seconds, liveRun.cpuMs / computers,
                peer.parallel.cpuMs / computers, unreachableCount, mixedRun.seconds, one.seconds, pssMax, pssAll);
    return liveRun.found == computers && mixedRun.found == computers ? 0 : 1;
}
