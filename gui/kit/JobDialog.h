#pragma once

#include "adapters/qt/QtPoster.h"
#include "gui/kit/TemplateDialog.h"
#include "gui/kit/QtWorkerWait.h"

#include <memory>

namespace rm {

// A progress dialog over one worker: it starts the worker when it first
// shows, refreshes on 1026, ends with OK on 1025 and, after a confirmed
// cancel, waits for the worker's `finished` while still painting, then ends
// with Cancel. Enter and other ways to close it do nothing. It does not go
// away before the worker's thread has ended, serving the worker's requests
// (message boxes, wait cursor) until then.
class JobDialog : public TemplateDialog {
    Q_OBJECT
public:
    struct Services {
        Prompter& prompter;
        WaitCursor& waitCursor;
    };
    // How a cancel goes: the question asked first; the button disabled and
    // the status line that reads "Cancelling ..." meanwhile (0: none); how
    // often `finished` is looked at while waiting.
    struct Cancel {
        Message question;
        int buttonId = 0;
        int statusId = 0;
        std::chrono::milliseconds step{10};
    };

    JobDialog(int templateId, std::unique_ptr<Worker> worker, Services services, Cancel cancel,
                  QWidget* parent);
    ~JobDialog() override;

public slots:
    void accept() override {}
    // The Cancel button, Escape and the close box: asks, then stops the
    // worker and ends with Cancel once it has finished.
    void reject() override;

protected:
    Worker& worker() { return *worker_; }
    Prompter& prompter() { return s_.prompter; }

    // Before the worker starts, when the dialog first shows.
    virtual void starting() {}
    virtual void progress(std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) {}
    // The worker's end message; ends the dialog with OK unless overridden. A
    // dialog that stays open after it keeps its cancel path.
    virtual void workerFinished()
    {
        ending_ = true;
        done(QDialog::Accepted);
    }

    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    std::unique_ptr<Worker> worker_;
    Services s_;
    Cancel cancel_;
    QtPoster poster_;
    QtWorkerWait wait_;
    bool ending_ = false;
};

} // namespace rm
