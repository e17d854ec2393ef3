#pragma once

#include "core/search/PingScanWorker.h"
#include "gui/kit/JobDialog.h"

namespace rm {

// "Rostermill Operation Status": pings the computers and keeps the names of
// those that never answered, or why none are removed.
class PingScanDialog : public JobDialog {
    Q_OBJECT
public:
    enum Id { IdCancel = 2, IdStatus = 1034, IdReceived = 1047, IdPingsSent = 1048, IdElapsed = 1049 };

    PingScanDialog(std::vector<std::string> names, PingSweep::Services sweep, JobDialog::Services services,
                    QWidget* parent);

    // Whole after the dialog has ended, whichever way.
    const std::vector<std::string>& removalList() const { return scan_.removalList(); }
    const std::string& errorText() const { return scan_.errorText(); }

protected:
    void progress(std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    void showValue(int id, const std::string& text);

    PingScanWorker& scan_;
};

} // namespace rm
