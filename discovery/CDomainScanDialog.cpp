#include "discovery/CDomainScanDialog.h"

#include "platform/qt/PostedMessage.h"
#include "platform/qt/QtPoster.h"
#include "ui/WorkerWait.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QTimerEvent>

#include <iostream>

namespace rm {

CDomainScanDialog::CDomainScanDialog(const std::string& domain, const SearchOptions& options, Services services,
                                     QWidget* parent)
    : CTemplateDialog(156, parent), domain_(domain), options_(options), s_(services),
      bar_(itemAs<QProgressBar>(1050))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    connect(itemAs<QAbstractButton>(1051), &QAbstractButton::clicked, this, &CDomainScanDialog::reject);
}

CDomainScanDialog::~CDomainScanDialog()
{
    if (worker_.joinable()) {
        waitHandlingEvents(workerEnded_);
        worker_.join();
    }
}

void CDomainScanDialog::showEvent(QShowEvent* event)
{
    CTemplateDialog::showEvent(event);
    if (worker_.joinable() || workerEnded_)
        return;
    bar_->setRange(0, 10);
    bar_->setValue(0);
    worker_ = std::thread([this] {
        QtPoster poster(this);
        DomainScanServices services{s_.network, s_.identity, s_.directory, s_.prompter, poster, s_.waitCursor,
                                    std::cout};
        domainScanWorker(domain_, options_, state_, services);
        workerEnded_.store(true, std::memory_order_release);
    });
    timer_ = startTimer(100);
}

void CDomainScanDialog::timerEvent(QTimerEvent* event)
{
    // Shows activity, not progress: 0..10 over and over.
    if (event->timerId() != timer_ || state_.finished.load(std::memory_order_acquire))
        return;
    bar_->setValue(bar_->value() == bar_->maximum() ? 0 : bar_->value() + 1);
}

void CDomainScanDialog::customEvent(QEvent* event)
{
    if (PostedMessage::messageOf(event) == MessageFinished)
        done(QDialog::Accepted);
}

void CDomainScanDialog::reject()
{
    const Message question{"Confirm Cancel",
                           "At this point, Windows is waiting for a response from your Primary Domain Controller, "
                           "and cancelling will take exactly as long as finishing.\n\nAre you sure you wish to "
                           "cancel?",
                           MessageButtons::YesNo, MessageIcon::Question};
    if (s_.prompter.show(question) != MessageAnswer::Yes)
        return;
    setEnabled(1051, false);
    setText(1034, "Cancelling ...");
    state_.cancelRequested.store(true, std::memory_order_release);
    waitForFlag(state_.finished, std::chrono::milliseconds(10));
    done(QDialog::Rejected);
}

} // namespace rm
