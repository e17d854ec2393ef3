// The program's ping sweep against the lab: its 200 load computers (all
// answer), 200 names whose addresses nobody answers, and both together, every
// name resolved through the lab's DNS server; next to fping on the same names,
// with its defaults and with 8 retries at 500 ms. Runs inside the lab
// (lab/run); its last line holds the figures.
#include "core/search/PingSweep.h"
#include "adapters/linux/AddrInfoResolver.h"
#include "adapters/linux/LinuxIcmpSockets.h"
#include "adapters/linux/PosixThreadStarter.h"
#include "adapters/linux/SteadyTickClock.h"
#include "support/LabManifest.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace rm;
using Clock = std::chrono::steady_clock;
using Names = std::vector<std::string>;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Notes when the last look-up of a sweep ended.
class TimedResolver : public HostResolver {
public:
    std::uint32_t resolve(const std::string& name) override
    {
        const std::uint32_t address = inner_.resolve(name);
        const auto now = Clock::now().time_since_epoch().count();
        auto seen = lastEnd_.load();
        while (seen < now && !lastEnd_.compare_exchange_weak(seen, now)) {
        }
        return address;
    }
    void reset() { lastEnd_ = 0; }
    Clock::time_point lastEnd() const { return Clock::time_point(Clock::duration(lastEnd_.load())); }

private:
    AddrInfoResolver inner_;
    std::atomic<Clock::rep> lastEnd_{0};
};

struct Sweep {
    double seconds;
    double resolveSeconds;
    Names removed;
};

Sweep sweep(const Names& names, TimedResolver& resolver)
{
    LinuxIcmpSockets sockets;
    PosixThreadStarter threads;
    SteadyTickClock clock;
    Progress<SearchProgress> progress;
    CancelToken cancel;
    LivenessFailure failure = LivenessFailure::None;
    resolver.reset();
    const auto start = Clock::now();
    Names removed = PingSweep({resolver, sockets, threads, clock}, progress, cancel).run(names, failure, 8, 500);
    const double seconds = secondsSince(start);
    if (failure != LivenessFailure::None) {
        std::fprintf(stderr, "ping-sweep: no ICMP socket (run as root in the lab)\n");
        std::exit(1);
    }
    return {seconds, std::chrono::duration<double>(resolver.lastEnd() - start).count(), std::move(removed)};
}

double fping(const std::string& options, const Names& names)
{
    std::string command = "fping -q " + options;
    for (const std::string& n : names)
        command += " " + n;
    command += " 2>/dev/null";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double seconds = secondsSince(start);
    // 0: all alive, 1: some unreachable; anything else is a failure of fping itself.
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
        std::fprintf(stderr, "ping-sweep: fping failed (%d)\n", status);
        std::exit(1);
    }
    return seconds;
}

Names numbered(const std::string& prefix, int count)
{
    Names names;
    for (int i = 1; i <= count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s%03d", prefix.c_str(), i);
        names.push_back(name);
    }
    return names;
}

} // namespace

int main()
{
    const LabManifest lab = LabManifest::load();
    if (!lab.available()) {
        std::fprintf(stderr, "ping-sweep: run inside the lab (lab/run)\n");
        return 1;
    }
    const auto& dns = lab.json["dnsOnly"];
    const Names alive = numbered(dns["loadPrefix"], lab.json["load"]["count"]);
    const Names dead = numbered(dns["unreachablePrefix"], lab.json["unreachable"]["count"]);
    Names mixed;
    for (std::size_t i = 0; i < std::max(alive.size(), dead.size()); ++i) {
        if (i < alive.size())
            mixed.push_back(alive[i]);
        if (i < dead.size())
            mixed.push_back(dead[i]);
    }
    TimedResolver resolver;

    const Sweep a = sweep(alive, resolver);
    std::printf("alive: %.2f s (resolving %.2f s), %zu removed\n", a.seconds, a.resolveSeconds, a.removed.size());
    const double fa = fping("", alive);
    std::printf("fping alive: %.2f s\n", fa);

    const Sweep d = sweep(dead, resolver);
    std::printf("dead: %.2f s (resolving %.2f s), %zu removed\n", d.seconds, d.resolveSeconds, d.removed.size());
    const double dm = 9 * 0.5 + d.resolveSeconds;

    const Sweep m = sweep(mixed, resolver);
    std::printf("mixed: %.2f s (resolving %.2f s), %zu removed\n", m.seconds, m.resolveSeconds, m.removed.size());
    const double fm = fping("-r 8 -t 500", mixed);
    std::printf("fping mixed: %.2f s\n", fm);

    const bool right = a.removed.empty() && d.removed == dead && m.removed.size() == dead.size();
    std::printf("removed the right names: %s; A <= 1.2 FA: %s; D <= 1.05 DM: %s; M <= FM: %s\n",
                right ? "yes" : "NO", a.seconds <= 1.2 * fa ? "yes" : "NO", d.seconds <= 1.05 * dm ? "yes" : "NO",
                m.seconds <= fm ? "yes" : "NO");
    std::printf("targets=%zu alive_seconds=%.2f fping_alive_seconds=%.2f dead_seconds=%.2f dead_minimum_seconds=%.2f "
                "mixed_seconds=%.2f fping_mixed_seconds=%.2f resolve_seconds=%.2f\n",
                mixed.size(), a.seconds, fa, d.seconds, dm, m.seconds, fm, d.resolveSeconds);
    return right ? 0 : 1;
}
