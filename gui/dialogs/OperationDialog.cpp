#include "gui/dialogs/OperationDialog.h"

#include <utility>

namespace rm {

OperationDialog::OperationDialog(std::vector<AccountOperation>& operations, NetworkManagement& network,
                                   JobDialog::Services services, QWidget* parent)
    : JobDialog(131, std::make_unique<OperationWorker>(operations, network), services,
                    {{"Confirm Cancel", "Are you sure you wish to abort before all systems have been affected?",
                      MessageButtons::YesNo, MessageIcon::Question},
                     IdCancel, 0, std::chrono::milliseconds(50)},
                    parent),
      batch_(static_cast<OperationWorker&>(worker()))
{
}

void OperationDialog::accept()
{
    if (final_)
        done(QDialog::Accepted);
}

void OperationDialog::progress(std::uintptr_t, std::intptr_t)
{
    const OperationCounters& c = batch_.counters();
    const std::pair<int, const std::atomic<std::int32_t>&> shown[] = {
        {IdRenameTotal, c.renameTotal},         {IdRenameSucceeded, c.renameSucceeded},
        {IdRenameFailed, c.renameFailed},       {IdPasswordTotal, c.passwordTotal},
        {IdPasswordSucceeded, c.passwordSucceeded}, {IdPasswordFailed, c.passwordFailed},
        {IdEnableTotal, c.enableTotal},         {IdEnableSucceeded, c.enableSucceeded},
        {IdEnableFailed, c.enableFailed},
    };
    for (const auto& [id, counter] : shown)
        setText(id, std::to_string(counter.load(std::memory_order_relaxed)));
}

void OperationDialog::workerFinished()
{
    // The last counts may have come with the end message only.
    progress(0, 0);
    final_ = true;
    setEnabled(IdViewLog, true);
    setEnabled(IdCancel, false);
    setText(IdProgressFrame, "Final Status");
    setText(IdStatus, batch_.cancelRequested() ? "Operation Cancelled." : "Operation Completed.");
}

} // namespace rm
