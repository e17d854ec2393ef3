#pragma once

#include "discovery/DomainScanWorker.h"
#include "ui/CTemplateDialog.h"

#include <thread>

class QProgressBar;

namespace rm {

// "Working . . .": runs the domain scan's worker and cycles the bar while it
// works. It ends only through the worker's end message or a confirmed cancel,
// and does not go away before its worker has ended.
class CDomainScanDialog : public CTemplateDialog {
    Q_OBJECT
public:
    struct Services {
        NetworkManagement& network;
        CurrentIdentity& identity;
        DirectoryScanner& directory;
        Prompter& prompter;
        WaitCursor& waitCursor;
    };

    CDomainScanDialog(const std::string& domain, const SearchOptions& options, Services services, QWidget* parent);
    ~CDomainScanDialog() override;

    // Whole after the dialog has ended, whichever way.
    const std::vector<FoundComputer>& computers() const { return state_.computers; }

public slots:
    // Cancel button, Escape and the close box.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    std::string domain_;
    SearchOptions options_;
    Services s_;
    DomainScanState state_;
    std::atomic<bool> workerEnded_{false};
    std::thread worker_;
    QProgressBar* bar_;
    int timer_ = 0;
};

} // namespace rm
