#include "gui/dialogs/PingScanDialog.h"

namespace rm {

PingScanDialog::PingScanDialog(JobDialog::Services services, QWidget* parent)
    : JobDialog(IddPingScan, services,
                {{"Confirm Cancel",
                  "Cancelling now may remove systems from the list that are actually active.\n\nAre you sure "
                  "you wish to cancel?",
                  MessageButtons::YesNo, MessageIcon::Question},
                 IdCancel, IdStatus, true},
                parent)
{
}

void PingScanDialog::showValue(int id, const std::string& text)
{
    if (this->text(id) != text)
        setText(id, text);
}

void PingScanDialog::showProgress(const SearchProgress& progress)
{
    if (!showsProgress())
        return;
    const LivenessProgress& l = progress.liveness;
    showValue(IdReceived, std::to_string(l.repliesReceived));
    showValue(IdPingsSent, std::to_string(l.pingsSent));
    showValue(IdElapsed, livenessElapsedText(l));
    showValue(IdStatus, livenessStatusText(l));
}

} // namespace rm
