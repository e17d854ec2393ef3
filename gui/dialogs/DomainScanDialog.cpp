#include "gui/dialogs/DomainScanDialog.h"

#include <QProgressBar>
#include <QTimerEvent>

namespace rm {

DomainScanDialog::DomainScanDialog(const std::string& domain, const SearchOptions& options,
                                     DomainScanWorker::Services scan, JobDialog::Services services,
                                     QWidget* parent)
    : JobDialog(156, std::make_unique<DomainScanWorker>(domain, options, scan), services,
                    {{"Confirm Cancel",
                      "At this point, Windows is waiting for a response from your Primary Domain Controller, and "
                      "cancelling will take exactly as long as finishing.\n\nAre you sure you wish to cancel?",
                      MessageButtons::YesNo, MessageIcon::Question},
                     IdCancel, IdStatus, std::chrono::milliseconds(10)},
                    parent),
      scan_(static_cast<DomainScanWorker&>(worker())), bar_(itemAs<QProgressBar>(IdProgress))
{
}

void DomainScanDialog::starting()
{
    bar_->setRange(0, 10);
    bar_->setValue(0);
    timer_ = startTimer(100);
}

void DomainScanDialog::timerEvent(QTimerEvent* event)
{
    // Shows activity, not progress: 0..10 over and over.
    if (event->timerId() != timer_ || scan_.isFinished())
        return;
    bar_->setValue(bar_->value() == bar_->maximum() ? 0 : bar_->value() + 1);
}

} // namespace rm
