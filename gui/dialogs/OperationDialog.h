#pragma once

#include "core/batch/BatchOutcome.h"
#include "gui/kit/JobDialog.h"

namespace rm {

// "Rostermill Operation Status": the batch's nine counts as they change and,
// at its end, the final status and "&View Log".
class OperationDialog : public JobDialog {
    Q_OBJECT
public:
    enum Template { IddOperationStatus = 131 };
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

    OperationDialog(JobDialog::Services services, QWidget* parent);

    void showProgress(const BatchCounts& counts);

public slots:
    // "&View Log", usable once the batch has ended.
    void accept() override;

protected:
    void jobEnded() override;

private:
    bool final_ = false;
};

} // namespace rm
