#pragma once

#include "core/search/SearchProgress.h"
#include "gui/dialogs/LivenessTexts.h"
#include "gui/kit/JobDialog.h"

namespace rm {

// "Rostermill Operation Status": the search's liveness step, its pings sent
// and answered, the time its rounds have taken and what it is doing.
class PingScanDialog : public JobDialog {
    Q_OBJECT
public:
    enum Template { IddPingScan = 133 };
    enum Id { IdStatus = 1034, IdReceived = 1047, IdPingsSent = 1048, IdElapsed = 1049 };

    PingScanDialog(JobDialog::Services services, QWidget* parent);

    void showProgress(const SearchProgress& progress);

private:
    void showValue(int id, const std::string& text);
};

} // namespace rm
