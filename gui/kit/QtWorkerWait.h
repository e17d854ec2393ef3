#pragma once

#include "core/jobs/Worker.h"

#include <chrono>

namespace rm {

// The window thread's wait for a worker: posted messages and painting go on,
// user input waits until the flag is set.
class QtWorkerWait : public WorkerWait {
public:
    explicit QtWorkerWait(std::chrono::milliseconds step = std::chrono::milliseconds(10)) : step_(step) {}
    void waitFor(const std::atomic<bool>& flag) override;

private:
    std::chrono::milliseconds step_;
};

} // namespace rm
