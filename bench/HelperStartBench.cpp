// Starting helpers as a search's first checks do, all at once: spawned each
// (the helper program loading and binding its libraries every time) beside
// forked from one loaded template. Needs no lab. Figures are read once the
// helpers have settled; its last line holds them.
#include "AccountCheckMeasures.h"
#include "adapters/netapi/HelperTemplate.h"

#include <cstdlib>
#include <thread>

using namespace rm;
using namespace rm::bench;

namespace {

struct Start {
    double seconds = 0, cpuMs = 0, pssMb = 0;
};

constexpr auto Settle = std::chrono::milliseconds(1500);

void measure(const std::vector<std::unique_ptr<HelperProcess>>& helpers, Start& s)
{
    for (const auto& h : helpers) {
        if (!h)
            continue;
        s.cpuMs += processCpuMs(h->pid());
        s.pssMb += pssMegabytes(h->pid());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 128;
    std::vector<std::unique_ptr<HelperProcess>> spawned, forked;

    Start own;
    auto start = Clock::now();
    for (int i = 0; i < count; ++i)
        spawned.push_back(HelperProcess::start(HELPER_PATH));
    own.seconds = secondsSince(start);
    std::this_thread::sleep_for(Settle);
    measure(spawned, own);
    spawned.clear();

    Start fork;
    auto forker = HelperTemplate::start(HELPER_PATH);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double templateStart = forker ? processCpuMs(forker->pid()) : 0;
    start = Clock::now();
    for (int i = 0; i < count && forker; ++i)
        forked.push_back(forker->fork());
    fork.seconds = secondsSince(start);
    std::this_thread::sleep_for(Settle);
    measure(forked, fork);
    if (forker) {
        fork.cpuMs += processCpuMs(forker->pid()) - templateStart;
        fork.pssMb += pssMegabytes(forker->pid());
    }
    const auto made = std::count_if(forked.begin(), forked.end(), [](const auto& h) { return h != nullptr; });

    std::printf("spawned: %d helpers in %.2f s, %.1f ms CPU each, PSS %.0f MB\n", count, own.seconds,
                own.cpuMs / count, own.pssMb);
    std::printf("forked: %ld of %d helpers in %.2f s, %.1f ms CPU each, PSS %.0f MB with the template "
                "(whose own start took %.0f ms)\n",
                static_cast<long>(made), count, fork.seconds, fork.cpuMs / count, fork.pssMb, templateStart);
    std::printf("helpers=%d spawned_cpu_ms_each=%.1f forked_cpu_ms_each=%.1f spawned_pss_mb=%.0f forked_pss_mb=%.0f "
                "template_start_cpu_ms=%.0f\n",
                count, own.cpuMs / count, fork.cpuMs / count, own.pssMb, fork.pssMb, templateStart);
    return made == count ? 0 : 1;
}
