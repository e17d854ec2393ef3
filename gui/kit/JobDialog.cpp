#include "gui/kit/JobDialog.h"

#include <QAbstractButton>
#include <QEventLoop>

namespace rm {

JobDialog::JobDialog(int templateId, Services services, Cancel cancel, QWidget* parent)
    : TemplateDialog(templateId, parent), s_(services), cancel_(std::move(cancel))
{
    // A caption, and a close box and system menu only where asked for.
    if (cancel_.closeBox)
        setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    else
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // A button with the Cancel identifier (2) reaches reject() already.
    if (auto* button = itemAs<QAbstractButton>(cancel_.buttonId); button && cancel_.buttonId != IdCancel)
        connect(button, &QAbstractButton::clicked, this, &JobDialog::reject);
}

JobDialog::~JobDialog() = default;

int JobDialog::run(Job& job)
{
    // The dialog ends only once the job has: the job may go after this.
    job_ = &job;
    const int result = exec();
    job_ = nullptr;
    return result;
}

void JobDialog::showEvent(QShowEvent* event)
{
    TemplateDialog::showEvent(event);
    if (!job_ || job_->started())
        return;
    starting();
    job_->start(s_.ui, [this] { ended(); });
}

void JobDialog::ended()
{
    jobEnded_ = true;
    if (waiting_)
        waiting_->quit();
    else if (!ending_)
        jobEnded();
}

void JobDialog::finish(int result)
{
    ending_ = true;
    done(result);
}

void JobDialog::waitForTheJob()
{
    if (jobEnded_)
        return;
    QEventLoop loop;
    waiting_ = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    waiting_ = nullptr;
}

void JobDialog::reject()
{
    // Once ending, a second close request has nothing left to do.
    if (ending_ || s_.prompter.show(cancel_.question) != MessageAnswer::Yes || ending_)
        return;
    if (cancel_.buttonId)
        setEnabled(cancel_.buttonId, false);
    if (cancel_.statusId)
        setText(cancel_.statusId, "Cancelling ...");
    ending_ = true;
    if (job_)
        job_->cancel();
    waitForTheJob();
    done(QDialog::Rejected);
}

} // namespace rm
