// Checks N lab computers for a user through the helper pool at a given
// concurrency, then does the same look-ups with Samba's rpcclient, one process
// per computer, in a loop and with xargs -P. Runs inside the lab (lab/run).
#include "platform/samba/SambaNetworkManagement.h"
#include "support/LabManifest.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace rm;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double pssMegabytes(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long kb = 0;
    while (in >> key) {
        if (key == "Pss:") {
            in >> kb;
            return kb / 1024.0;
        }
        in.ignore(1 << 20, '\n');
    }
    return 0;
}

double run(const std::string& command)
{
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "warning: '%s' did not succeed\n", command.c_str());
    return secondsSince(start);
}

} // namespace

int main(int argc, char** argv)
{
    const LabManifest lab = LabManifest::load();
    if (!lab.available()) {
        std::fprintf(stderr, "run inside the lab: scripts/bench account-check\n");
        return 2;
    }
    const int available = lab.json["load"]["count"];
    const int computers = std::min(argc > 1 ? std::atoi(argv[1]) : available, available);
    const int concurrency = argc > 2 ? std::atoi(argv[2]) : 32;
    const std::string prefix = lab.json["load"]["namePrefix"];
    std::vector<std::string> names;
    for (int i = 1; i <= computers; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%03d", prefix.c_str(), i);
        names.push_back(name);
    }

    SambaNetworkManagement net({HELPER_PATH, static_cast<std::size_t>(concurrency), std::chrono::milliseconds(30000)});
    net.setCredentials(lab.operatorAccount(), lab.operatorPassword());
    std::atomic<int> next{0}, found{0};
    double peakPss = 0;
    std::size_t helpers = 0;
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int t = 0; t < concurrency; ++t)
        threads.emplace_back([&] {
            for (int i; (i = next++) < computers;) {
                auto hold = net.hold();
                USER_INFO_1 info;
                std::vector<LOCALGROUP_USERS_INFO_0> groups;
                if (net.NetUserGetInfo("\\\\" + names[i], "Administrator", info) == NERR_Success
                    && net.NetUserGetLocalGroups("\\\\" + names[i], "Administrator", LG_INCLUDE_INDIRECT, groups) == NERR_Success)
                    ++found;
            }
        });
    for (auto& t : threads)
        t.join();
    const double seconds = secondsSince(start);
    // Measured with every helper still alive and holding its last conversation.
    for (pid_t pid : net.helperProcesses()) {
        peakPss = std::max(peakPss, pssMegabytes(pid));
        ++helpers;
    }
    std::printf("pool: %d of %d computers checked in %.2f s with %zu helpers\n", found.load(), computers,
                seconds, helpers);
    std::fflush(stdout);

    // The same look-ups, one rpcclient process per computer.
    char dir[] = "/tmp/rostermill-bench-XXXXXX";
    if (!::mkdtemp(dir))
        return 1;
    const std::string auth = std::string(dir) + "/auth", list = std::string(dir) + "/computers";
    {
        std::ofstream a(auth);
        a << "username = " << lab.json["operator"]["user"].get<std::string>() << "\npassword = "
          << lab.operatorPassword() << "\ndomain = " << lab.json["domain"]["netbios"].get<std::string>() << "\n";
        ::chmod(auth.c_str(), 0600);
        std::ofstream l(list);
        for (const auto& n : names)
            l << n << "\n";
    }
    const std::string one = "rpcclient -A " + auth + " -c 'queryuser Administrator' ";
    const double sequential = run("while read c; do " + one + "\"$c\" >/dev/null 2>&1; done < " + list);
    const double parallel = run("xargs -P " + std::to_string(concurrency) + " -I{} " + one + "{} < " + list + " >/dev/null 2>&1");
    std::remove(auth.c_str());
    std::remove(list.c_str());
    ::rmdir(dir);

    std::printf("computers=%d concurrency=%d seconds=%.2f rpcclient_seq_seconds=%.2f rpcclient_par_seconds=%.2f "
                "pss_mb_per_helper=%.1f\n",
                computers, concurrency, seconds, sequential, parallel, peakPss);
    return found == computers ? 0 : 1;
}
