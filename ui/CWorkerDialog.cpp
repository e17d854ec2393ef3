#include "ui/CWorkerDialog.h"

#include "platform/qt/PostedMessage.h"

namespace rm {

CWorkerDialog::CWorkerDialog(int templateId, std::unique_ptr<Worker> worker, Services services, QWidget* parent,
                             std::chrono::milliseconds cancelStep)
    : CTemplateDialog(templateId, parent), worker_(std::move(worker)), s_(services), poster_(this),
      wait_(cancelStep)
{
    // A caption but no close box, no system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

CWorkerDialog::~CWorkerDialog()
{
    // The worker posts to this window until its thread ends.
    if (worker_->started()) {
        ending_ = true;
        wait_.waitFor(worker_->endedFlag());
        worker_->join();
    }
}

void CWorkerDialog::showEvent(QShowEvent* event)
{
    CTemplateDialog::showEvent(event);
    if (worker_->started())
        return;
    starting();
    worker_->start(poster_);
}

void CWorkerDialog::customEvent(QEvent* event)
{
    if (event->type() < QEvent::User) {
        CTemplateDialog::customEvent(event);
        return;
    }
    const auto* posted = static_cast<const PostedMessage*>(event);
    const int message = PostedMessage::messageOf(event);
    if (Worker::serveRequest(message, posted->wParam(), posted->lParam(), s_.prompter, s_.waitCursor) || ending_)
        return;
    if (message == MessageProgress)
        progress(posted->wParam(), posted->lParam());
    else if (message == MessageFinished) {
        ending_ = true;
        workerFinished();
    }
}

void CWorkerDialog::cancelConfirmed(int cancelButtonId, int statusId)
{
    setEnabled(cancelButtonId, false);
    setText(statusId, "Cancelling ...");
    ending_ = true;
    worker_->requestCancel();
    wait_.waitFor(worker_->finishedFlag());
    done(QDialog::Rejected);
}

} // namespace rm
