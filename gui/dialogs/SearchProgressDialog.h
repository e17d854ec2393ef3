#pragma once

#include "core/jobs/TickClock.h"
#include "core/search/SearchProgress.h"
#include "gui/kit/JobDialog.h"

namespace rm {

// "Working . . .": the search's check step, its progress and the time left,
// measured from when the dialog was made.
class SearchProgressDialog : public JobDialog {
    Q_OBJECT
public:
    enum Template { IddSearchProgress = 134 };
    enum Id { IdStatus = 1034, IdProgress = 1050, IdCancel = 1051, IdElapsed = 1052, IdRemaining = 1053 };

    SearchProgressDialog(std::size_t computers, TickClock& clock, JobDialog::Services services, QWidget* parent);

    void showProgress(const SearchProgress& progress);

protected:
    void starting() override;

private:
    const std::size_t computers_;
    TickClock& clock_;
    const std::uint32_t startTime_;
};

} // namespace rm
