#pragma once

#include <chrono>
#include <cstddef>

namespace rm {

// How many helpers are worth having. A helper held for a computer's check
// mostly waits on the network: its share of a core is what it asked of the
// cores (CPU used and time waited for one) over the time it was held, and
// the cores over that share is how many helpers keep them busy. Across a
// slow network that is hundreds, on a fast one a few, so the pool grows
// where helpers wait and stays small where they work. On a machine already
// busy, waiting for a core raises the share and holds the pool back.
class HelperDemand {
public:
    // The cores the helpers may fill; a quarter of each is left to the
    // program's own threads and the rest of the machine.
    explicit HelperDemand(double cores) : cores_(cores) {}

    // One helper's lease: what it asked of the cores while held, and how
    // long it was held.
    void record(std::chrono::nanoseconds demand, std::chrono::nanoseconds held);
    // Between `steady` and `most`; `steady` until a lease has been seen.
    std::size_t worthwhile(std::size_t steady, std::size_t most) const;

private:
    const double cores_;
    // Sums in seconds that forget old leases, so a search across a WAN
    // after one on the LAN is judged by its own.
    double demand_ = 0, held_ = 0;
};

} // namespace rm
