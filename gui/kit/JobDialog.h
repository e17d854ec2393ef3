#pragma once

#include "core/jobs/Job.h"
#include "core/jobs/UiThread.h"
#include "core/ports/Prompter.h"
#include "gui/kit/TemplateDialog.h"

class QEventLoop;

namespace rm {

// A progress dialog over one job, the one way the window runs a long task:
// the job starts when the dialog first shows and the dialog ends with OK
// when it has ended, or, after a confirmed cancel, with Cancel once it has
// ended, painting meanwhile. Enter does nothing; a close box, where the
// dialog has one, asks as Cancel does.
// The job's progress reaches the dialog through the caller, which owns the
// job (and its progress) and keeps both alive until run() has returned.
class JobDialog : public TemplateDialog {
    Q_OBJECT
public:
    struct Services {
        Prompter& prompter;
        UiThread& ui;
    };
    // How a cancel goes: the question asked first; the button disabled and
    // the status line that reads "Cancelling ..." meanwhile (0: none);
    // whether the caption has a close box that asks it too.
    struct Cancel {
        Message question;
        int buttonId = 0;
        int statusId = 0;
        bool closeBox = false;
    };

    JobDialog(int templateId, Services services, Cancel cancel, QWidget* parent);
    ~JobDialog() override;

    // Runs the dialog modally over the job, which has ended when this
    // returns; the dialog's result.
    int run(Job& job);

public slots:
    void accept() override {}
    // The Cancel button, Escape and the close box: asks, then cancels the
    // job and ends with Cancel once it has ended.
    void reject() override;

protected:
    // Before the job starts, when the dialog first shows.
    virtual void starting() {}
    // The job has ended: ends the dialog with OK unless overridden. A dialog
    // that stays open keeps its cancel path.
    virtual void jobEnded() { finish(QDialog::Accepted); }
    // Ends the dialog; progress that still arrives is not shown.
    void finish(int result);
    // Whether progress is still to be shown: not once the dialog is ending.
    bool showsProgress() const { return !ending_; }
    bool cancelRequested() const { return job_ && job_->cancelRequested(); }
    Prompter& prompter() { return s_.prompter; }

    void showEvent(QShowEvent* event) override;

private:
    void ended();
    // Until the job has ended, the window painting and user input held back.
    void waitForTheJob();

    Services s_;
    Cancel cancel_;
    Job* job_ = nullptr;
    bool jobEnded_ = false;
    bool ending_ = false;
    QEventLoop* waiting_ = nullptr;
};

} // namespace rm
