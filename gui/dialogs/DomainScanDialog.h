#pragma once

#include "core/ports/WaitCursor.h"
#include "core/search/Search.h"
#include "gui/kit/JobDialog.h"

class QProgressBar;

namespace rm {

// "Working . . .": the search's discovery step. The bar cycles while the
// step works; the wait cursor shows while the list is read; what the step
// has to say is shown before the dialog ends, whichever way it ends.
class DomainScanDialog : public JobDialog {
    Q_OBJECT
public:
    enum Template { IddDomainScan = 156 };
    enum Id { IdStatus = 1034, IdProgress = 1050, IdCancel = 1051 };

    DomainScanDialog(const Search& search, JobDialog::Services services, WaitCursor& cursor, QWidget* parent);
    ~DomainScanDialog() override;

    void showProgress(const SearchProgress& progress);

public slots:
    void done(int result) override;

protected:
    void starting() override;
    void timerEvent(QTimerEvent* event) override;

private:
    void showWaitCursor(bool shown);

    const Search& search_;
    WaitCursor& cursor_;
    QProgressBar* bar_;
    int timer_ = 0;
    bool cursorShown_ = false;
    bool noticeShown_ = false;
};

} // namespace rm
