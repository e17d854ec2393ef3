#pragma once
// What the account-check benchmarks measure the same way: the search's check
// step over listed computers, its wall time and the CPU of the program and
// its helpers, the helpers' memory.
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/NetworkIdentity.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "adapters/netapi/NetApiClient.h"
#include "adapters/netapi/TcpPortProbe.h"
#include "core/search/Search.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace rm::bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline double cpuMs(const rusage& u)
{
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

inline double ownCpuMs()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return cpuMs(u);
}

inline double childrenCpuMs()
{
    rusage u{};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return cpuMs(u);
}

// User and system time of a running process; with `reaped`, also that of
// the children it has waited for.
inline double processCpuMs(pid_t pid, bool reaped = false)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; fields >> field && i <= 15; ++i)
        if (i == 14 || i == 15 || (reaped && (i == 16 || i == 17)))
            ticks += std::stod(field);
    return ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

inline double pssMegabytes(pid_t pid)
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

// The helpers and the template they are forked from: what the pool costs.
inline std::vector<pid_t> poolProcesses(const NetApiClient& net)
{
    std::vector<pid_t> pids = net.helperProcesses();
    if (const pid_t forker = net.helperTemplateProcess())
        pids.push_back(forker);
    return pids;
}

// The CPU of the pool's processes so far, with that of helpers already gone:
// the template's reaped children, and those this program started and reaped.
inline double poolCpuMs(const NetApiClient& net)
{
    double ms = childrenCpuMs();
    for (pid_t pid : net.helperProcesses())
        ms += processCpuMs(pid);
    if (const pid_t forker = net.helperTemplateProcess())
        ms += processCpuMs(forker, true);
    return ms;
}

// The computers are listed: no directory is read.
class NoDirectory : public DirectoryClient {
public:
    std::unique_ptr<Connection> connect(const std::string&) override { return nullptr; }
};

struct SearchRun {
    double seconds = 0;
    double cpuMs = 0; // the program and all its helpers
    double helpersCpuMs = 0; // the helpers' and their template's part
    int found = 0;
};

// The search of the listed computers without its liveness step: the check alone.
inline SearchRun checkAll(NetApiClient& net, const std::vector<std::string>& names)
{
    PosixThreadStarter threads;
    SteadyTickClock clock;
    AddrInfoResolver resolver;
    LinuxIcmpSockets icmp;
    TcpPortProbe probe;
    NoDirectory directory;
    NetworkIdentity identity(net, net, nullptr);
    SearchRequest request;
    request.account = "Administrator";
    request.options.pingScan = false;
    request.computers = names;
    Progress<SearchProgress> progress;
    CancelToken cancel;
    const double helpersBefore = poolCpuMs(net);
    const double ownBefore = ownCpuMs();
    const auto start = Clock::now();
    const SearchOutcome outcome =
        search(request, {net, identity, directory, resolver, icmp, probe, threads, clock}, progress, cancel);
    SearchRun run;
    run.seconds = secondsSince(start);
    run.helpersCpuMs = poolCpuMs(net) - helpersBefore;
    run.cpuMs = ownCpuMs() - ownBefore + run.helpersCpuMs;
    run.found = static_cast<int>(outcome.matched.size());
    return run;
}

inline std::vector<std::string> numberedNames(const nlohmann::json& group, int count)
{
    std::vector<std::string> names;
    const std::string prefix = group["namePrefix"];
    for (int i = 1; i <= count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%03d", prefix.c_str(), i);
        names.push_back(name);
    }
    return names;
}

} // namespace rm::bench
