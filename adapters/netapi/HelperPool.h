#pragma once

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

// Up to a set number of helpers, started when first needed, reused, and
// replaced when one dies. A caller that finds every helper busy waits.
//
// Helpers are started by one thread of the pool's own, so what ends with the
// thread that started it stays while the threads that call come and go. They
// are forked from a template where the helper program can be one, else
// started each on its own; a helper ends when its channel closes.
class HelperPool {
public:
    HelperPool(std::string helperPath, std::size_t maxHelpers);
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

    void startHelpers();
    std::unique_ptr<HelperProcess> startHelper();
    // Drops the idle helpers that died meanwhile, reaping them.
    void dropDeadIdle(std::vector<std::unique_ptr<HelperProcess>>& dead);
    std::unique_ptr<HelperProcess> takeOut(HelperProcess* helper);

    const std::string path_;
    const std::size_t max_;
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
