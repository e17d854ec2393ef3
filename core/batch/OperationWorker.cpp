#include "core/batch/OperationWorker.h"

#include "core/batch/NetErrorText.h"
#include "core/ports/Wipe.h"

namespace rm {

OperationWorker::OperationWorker(std::vector<AccountOperation>& operations, NetworkManagement& network)
    : operations_(operations), network_(network)
{
}

void OperationWorker::counted(std::atomic<std::int32_t>& total, std::atomic<std::int32_t>& outcome)
{
    outcome.fetch_add(1, std::memory_order_relaxed);
    total.fetch_add(1, std::memory_order_relaxed);
    window().post(MessageProgress);
}

void OperationWorker::changePassword(const std::string& server, AccountOperation& op)
{
    USER_INFO_1003 info{op.password};
    const NetStatus status = network_.NetUserSetInfo(server, op.userName, info);
    wipe(info.usri1003_password);
    op.passwordSucceeded = status == NERR_Success;
    if (!op.passwordSucceeded)
        op.passwordError = netErrorText(status);
    counted(counters_.passwordTotal, op.passwordSucceeded ? counters_.passwordSucceeded : counters_.passwordFailed);
}

void OperationWorker::changeEnabledState(const std::string& server, AccountOperation& op)
{
    USER_INFO_1 current;
    NetStatus status = network_.NetUserGetInfo(server, op.userName, current);
    if (status == NERR_Success) {
        // Only the disabled bit changes; every other flag goes back as read.
        const std::uint32_t flags = op.enable ? current.usri1_flags & ~std::uint32_t(UF_ACCOUNTDISABLE)
                                              : current.usri1_flags | UF_ACCOUNTDISABLE;
        status = network_.NetUserSetInfo(server, op.userName, USER_INFO_1008{flags});
    }
    op.enableSucceeded = status == NERR_Success;
    if (!op.enableSucceeded)
        op.enableError = netErrorText(status);
    counted(counters_.enableTotal, op.enableSucceeded ? counters_.enableSucceeded : counters_.enableFailed);
}

void OperationWorker::rename(const std::string& server, AccountOperation& op)
{
    const NetStatus status = network_.NetUserSetInfo(server, op.userName, USER_INFO_0{op.newUserName});
    op.renameSucceeded = status == NERR_Success;
    if (!op.renameSucceeded)
        op.renameError = netErrorText(status);
    counted(counters_.renameTotal, op.renameSucceeded ? counters_.renameSucceeded : counters_.renameFailed);
}

void OperationWorker::run()
{
    for (AccountOperation& op : operations_) {
        if (cancelRequested())
            break;
        const std::string server =
            op.computerName.rfind("\\\\", 0) == 0 ? op.computerName : "\\\\" + op.computerName;
        {
            // The computer's calls share one connection; no cancel is given to
            // the hold, since a computer once begun is completed.
            const auto hold = network_.hold(server);
            if (op.passwordRequested)
                changePassword(server, op);
            if (op.enableRequested)
                changeEnabledState(server, op);
            if (op.renameRequested)
                rename(server, op);
        }
        op.processed = true;
    }
    finish();
}

} // namespace rm
