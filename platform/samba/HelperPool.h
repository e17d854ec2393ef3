#pragma once

#include "platform/samba/HelperProcess.h"

#include <condition_variable>
#include <mutex>
#include <vector>

namespace rm {

// Up to a set number of helpers, started when first needed, reused, and
// replaced when one dies. A caller that finds every helper busy waits.
class HelperPool {
public:
    HelperPool(std::string helperPath, std::size_t maxHelpers);
    ~HelperPool();

    // Nothing when no helper can be started.
    HelperProcess* acquire();
    void release(HelperProcess* helper);

    std::vector<pid_t> pids() const;

private:
    const std::string path_;
    const std::size_t max_;
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<std::unique_ptr<HelperProcess>> all_;
    std::vector<HelperProcess*> idle_;
    std::size_t starting_ = 0;
};

} // namespace rm
