#pragma once

#include "core/search/DomainScanWorker.h"
#include "gui/kit/JobDialog.h"

class QProgressBar;

namespace rm {

// "Working . . .": runs the domain scan and cycles the bar while it works.
class DomainScanDialog : public JobDialog {
    Q_OBJECT
public:
    enum Id { IdStatus = 1034, IdProgress = 1050, IdCancel = 1051 };

    DomainScanDialog(const std::string& domain, const SearchOptions& options, DomainScanWorker::Services scan,
                      JobDialog::Services services, QWidget* parent);

    // Whole after the dialog has ended, whichever way.
    const std::vector<FoundComputer>& computers() const { return scan_.computers(); }

protected:
    void starting() override;
    void timerEvent(QTimerEvent* event) override;

private:
    DomainScanWorker& scan_;
    QProgressBar* bar_;
    int timer_ = 0;
};

} // namespace rm
