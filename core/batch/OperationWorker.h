#pragma once

#include "core/batch/AccountOperation.h"
#include "core/ports/NetworkManagement.h"
#include "core/jobs/Worker.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace rm {

// The nine counts of a batch: per action, total, succeeded and failed.
struct OperationCounters {
    std::atomic<std::int32_t> renameTotal{0}, renameSucceeded{0}, renameFailed{0};
    std::atomic<std::int32_t> passwordTotal{0}, passwordSucceeded{0}, passwordFailed{0};
    std::atomic<std::int32_t> enableTotal{0}, enableSucceeded{0}, enableFailed{0};
};

// Applies the operations one computer after the other, in their order:
// password, then enabled state, then rename, each failure recorded and the
// walk going on. Posts 1026 after every action and 1025 at the end. A cancel
// is looked at before each computer, so the current one is always completed.
class OperationWorker : public Worker {
public:
    OperationWorker(std::vector<AccountOperation>& operations, NetworkManagement& network);

    const OperationCounters& counters() const { return counters_; }

protected:
    void run() override;

private:
    void changePassword(const std::string& server, AccountOperation& op);
    void changeEnabledState(const std::string& server, AccountOperation& op);
    void rename(const std::string& server, AccountOperation& op);
    void counted(std::atomic<std::int32_t>& total, std::atomic<std::int32_t>& outcome);

    std::vector<AccountOperation>& operations_;
    NetworkManagement& network_;
    OperationCounters counters_;
};

} // namespace rm
