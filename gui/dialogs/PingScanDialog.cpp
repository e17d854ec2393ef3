#include "gui/dialogs/PingScanDialog.h"

#include <cstdio>

namespace rm {

std::string livenessStatusText(const LivenessProgress& l)
{
    char text[128];
    switch (l.phase) {
    case LivenessProgress::Phase::Starting:
        return "Initializing ...";
    case LivenessProgress::Phase::Resolving:
        if (!l.resolutionCounted)
            return "Resolving hostnames ...";
        std::snprintf(text, sizeof text, "%d hostnames resolved, resolving %d currently, %zu left ...", l.resolved,
                      l.resolving, l.unresolved);
        return text;
    case LivenessProgress::Phase::Pinging:
        std::snprintf(text, sizeof text, "Ping scanning, round %d ...", l.round);
        return text;
    case LivenessProgress::Phase::Probing:
        std::snprintf(text, sizeof text, "Connecting to port 445: %zu of %zu ...", l.probed, l.toProbe);
        return text;
    }
    return {};
}

std::string livenessElapsedText(const LivenessProgress& l)
{
    if (l.round == 0)
        return "---";
    char text[64];
    std::snprintf(text, sizeof text, "%0.1f seconds", l.elapsedMs / 1000.0);
    return text;
}

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
