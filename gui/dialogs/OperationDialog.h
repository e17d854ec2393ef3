#pragma once

#include "core/batch/OperationWorker.h"
#include "gui/kit/JobDialog.h"

namespace rm {

// "Rostermill Operation Status": runs the batch over the operations it is
// given (held, not owned), shows the nine counts as they change and, at the
// end, the final status and "&View Log".
class OperationDialog : public JobDialog {
    Q_OBJECT
public:
    enum Id {
        IdViewLog = 1,
        IdRenameSucceeded = 1024,
        IdPasswordSucceeded = 1025,
        IdRenameFailed = 1026,
        IdRenameTotal = 1027,
        IdPasswordTotal = 1028,
        IdEnableTotal = 1029,
        IdEnableFailed = 1030,
        IdEnableSucceeded = 1031,
        IdPasswordFailed = 1032,
        IdProgressFrame = 1033,
        IdStatus = 1034,
    };

    OperationDialog(std::vector<AccountOperation>& operations, NetworkManagement& network,
                     JobDialog::Services services, QWidget* parent);

    const OperationCounters& counters() const { return batch_.counters(); }

public slots:
    // "&View Log", usable once the batch has ended.
    void accept() override;

protected:
    void progress(std::uintptr_t wParam, std::intptr_t lParam) override;
    void workerFinished() override;

private:
    OperationWorker& batch_;
    bool final_ = false;
};

} // namespace rm
