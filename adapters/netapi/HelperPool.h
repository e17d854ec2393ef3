#pragma once

#include "adapters/netapi/HelperDemand.h"
#include "adapters/netapi/HelperProcess.h"
#include "adapters/netapi/HelperTemplate.h"
#include "core/jobs/CancelToken.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace rm {

// Helpers started when first needed, reused, and replaced when one dies. A
// caller that finds every helper busy waits. The pool keeps a steady number
// and grows up to its most while its helpers mostly wait on the network
// (HelperDemand); helpers beyond the steady number go when they are no
// longer worth having or have been idle a while.
//
// Helpers are started by one thread of the pool's own, so what ends with the
// thread that started it stays while the threads that call come and go. They
// are forked from a template where the helper program can be one, else
// started each on its own; a helper ends when its channel closes.
class HelperPool {
public:
    // A fixed number of helpers.
    HelperPool(std::string helperPath, std::size_t helpers);
    // `steady` helpers, and up to `most` while they would keep fewer than
    // `cores` busy.
    HelperPool(std::string helperPath, std::size_t steady, std::size_t most, double cores);
    // Kills every helper.
    ~HelperPool();

    // Nothing when no helper can be started, or when `cancel` is set while
    // the caller waits for one.
    HelperProcess* acquire(const CancelToken* cancel = nullptr);
    void release(HelperProcess* helper);

    std::vector<pid_t> pids() const;
    // The template's, 0 without one: part of what the helpers cost.
    pid_t templatePid() const { return templatePid_.load(std::memory_order_acquire); }

private:
    struct StartRequest {
        std::unique_ptr<HelperProcess> helper;
        bool done = false;
    };

    HelperProcess* lend(const CancelToken* cancel);
    // How many helpers there may be now; under the lock.
    std::size_t limit() const;
    void startHelpers();
    // Ends the helpers beyond the steady number that have been idle long.
    void retireIdle(std::vector<std::unique_ptr<HelperProcess>>& retired);
    std::unique_ptr<HelperProcess> startHelper();
    // Drops the idle helpers that died meanwhile, reaping them.
    void dropDeadIdle(std::vector<std::unique_ptr<HelperProcess>>& dead);
    std::unique_ptr<HelperProcess> takeOut(HelperProcess* helper);

    const std::string path_;
    const std::size_t steady_, max_;
    HelperDemand demand_;
    std::chrono::steady_clock::time_point noGrowthUntil_{};
    std::size_t growth_ = 0; // starts beyond the steady number allowed
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::condition_variable startWanted_;
    // The starting thread's alone; it goes after the helpers it forked.
    std::unique_ptr<HelperTemplate> template_;
    bool templateTried_ = false;
    std::atomic<pid_t> templatePid_{0};
    std::vector<std::unique_ptr<HelperProcess>> all_;
    std::vector<HelperProcess*> idle_;
    std::deque<StartRequest*> starts_;
    std::size_t starting_ = 0;
    bool stopping_ = false;
    std::thread starter_;
};

} // namespace rm
