#include "gui/dialogs/OperationDialog.h"

namespace rm {

OperationDialog::OperationDialog(JobDialog::Services services, QWidget* parent)
    : JobDialog(IddOperationStatus, services,
                {{"Confirm Cancel", "Are you sure you wish to abort before all systems have been affected?",
                  MessageButtons::YesNo, MessageIcon::Question},
                 IdCancel, 0},
                parent)
{
}

void OperationDialog::accept()
{
    if (final_)
        finish(QDialog::Accepted);
}

void OperationDialog::showProgress(const BatchCounts& c)
{
    if (!showsProgress())
        return;
    const std::pair<int, int> shown[] = {
        {IdRenameTotal, c.rename.total},         {IdRenameSucceeded, c.rename.succeeded},
        {IdRenameFailed, c.rename.failed},       {IdPasswordTotal, c.password.total},
        {IdPasswordSucceeded, c.password.succeeded}, {IdPasswordFailed, c.password.failed},
        {IdEnableTotal, c.enable.total},         {IdEnableSucceeded, c.enable.succeeded},
        {IdEnableFailed, c.enable.failed},
    };
    for (const auto& [id, count] : shown)
        setText(id, std::to_string(count));
}

void OperationDialog::jobEnded()
{
    // The counts came before the end; the dialog stays until "&View Log".
    final_ = true;
    setEnabled(IdViewLog, true);
    setEnabled(IdCancel, false);
    setText(IdProgressFrame, "Final Status");
    setText(IdStatus, cancelRequested() ? "Operation Cancelled." : "Operation Completed.");
}

} // namespace rm
