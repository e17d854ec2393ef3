#pragma once

#include <atomic>

namespace rm {

// A cancel asked for once and seen by every thread of a job, each at its
// next look.
class CancelToken {
public:
    void cancel() { cancelled_.store(true, std::memory_order_release); }
    bool cancelled() const { return cancelled_.load(std::memory_order_acquire); }

private:
    std::atomic<bool> cancelled_{false};
};

} // namespace rm
