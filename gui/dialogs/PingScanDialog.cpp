#include "gui/dialogs/PingScanDialog.h"

namespace rm {

PingScanDialog::PingScanDialog(std::vector<std::string> names, PingSweep::Services sweep,
                                 JobDialog::Services services, QWidget* parent)
    : JobDialog(133, std::make_unique<PingScanWorker>(std::move(names), sweep), services,
                    {{"Confirm Cancel",
                      "Cancelling now may remove systems from the list that are actually active.\n\nAre you sure "
                      "you wish to cancel?",
                      MessageButtons::YesNo, MessageIcon::Question},
                     IdCancel, IdStatus, std::chrono::milliseconds(50)},
                    parent),
      scan_(static_cast<PingScanWorker&>(worker()))
{
}

void PingScanDialog::showValue(int id, const std::string& text)
{
    if (this->text(id) != text)
        setText(id, text);
}

void PingScanDialog::progress(std::uintptr_t, std::intptr_t)
{
    const PingDisplay::Values v = scan_.display().takeForRefresh();
    showValue(IdReceived, std::to_string(v.repliesReceived));
    showValue(IdPingsSent, std::to_string(v.pingsSent));
    showValue(IdElapsed, v.elapsedText);
    showValue(IdStatus, v.statusText);
}

} // namespace rm
