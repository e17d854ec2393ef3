#pragma once

#include "core/search/AccountSearch.h"
#include "gui/kit/JobDialog.h"

namespace rm {

// "Working . . .": hosts one account search, shows its progress and the time
// left, and ends with OK when it finished or Cancel when the user cancelled.
class SearchProgressDialog : public JobDialog {
    Q_OBJECT
public:
    enum Id { IdStatus = 1034, IdProgress = 1050, IdCancel = 1051, IdElapsed = 1052, IdRemaining = 1053 };

    SearchProgressDialog(std::vector<std::string> computerNames, std::string accountName, AccountSearch::Services search,
                  JobDialog::Services services, QWidget* parent);

    void setGroupMode(bool groupMode) { search_.groupMode = groupMode; }
    const std::vector<AccountCheckResult>& results() const { return search_.results(); }

protected:
    void starting() override;
    void progress(std::uintptr_t done, std::intptr_t total) override;

private:
    AccountSearch& search_;
    TickClock& clock_;
};

} // namespace rm
