#include "gui/kit/JobDialog.h"

#include "adapters/qt/PostedMessage.h"

#include <QAbstractButton>

namespace rm {

JobDialog::JobDialog(int templateId, std::unique_ptr<Worker> worker, Services services, Cancel cancel,
                             QWidget* parent)
    : TemplateDialog(templateId, parent), worker_(std::move(worker)), s_(services), cancel_(std::move(cancel)),
      poster_(this), wait_(cancel_.step)
{
    // A caption but no close box, no system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    // A button with the Cancel identifier (2) reaches reject() already.
    if (auto* button = itemAs<QAbstractButton>(cancel_.buttonId); button && cancel_.buttonId != 2)
        connect(button, &QAbstractButton::clicked, this, &JobDialog::reject);
}

JobDialog::~JobDialog()
{
    // The worker posts to this window until its thread ends.
    if (worker_->started()) {
        ending_ = true;
        wait_.waitFor(worker_->endedFlag());
        worker_->join();
    }
}

void JobDialog::showEvent(QShowEvent* event)
{
    TemplateDialog::showEvent(event);
    if (worker_->started())
        return;
    starting();
    worker_->start(poster_);
}

void JobDialog::customEvent(QEvent* event)
{
    if (event->type() < QEvent::User) {
        TemplateDialog::customEvent(event);
        return;
    }
    const auto* posted = static_cast<const PostedMessage*>(event);
    const int message = PostedMessage::messageOf(event);
    if (Worker::serveRequest(message, posted->wParam(), posted->lParam(), s_.prompter, s_.waitCursor) || ending_)
        return;
    if (message == MessageProgress)
        progress(posted->wParam(), posted->lParam());
    else if (message == MessageFinished)
        workerFinished();
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
    worker_->requestCancel();
    wait_.waitFor(worker_->finishedFlag());
    done(QDialog::Rejected);
}

} // namespace rm
