#include "gui/dialogs/DomainScanDialog.h"

#include "core/messages/SearchMessages.h"

#include <QProgressBar>
#include <QTimerEvent>

namespace rm {

DomainScanDialog::DomainScanDialog(const Search& search, JobDialog::Services services, WaitCursor& cursor,
                                   QWidget* parent)
    : JobDialog(IddDomainScan, services,
                {{"Confirm Cancel",
                  "At this point, Windows is waiting for a response from your Primary Domain Controller, and "
                  "cancelling will take exactly as long as finishing.\n\nAre you sure you wish to cancel?",
                  MessageButtons::YesNo, MessageIcon::Question},
                 IdCancel, IdStatus, true},
                parent),
      search_(search), cursor_(cursor), bar_(itemAs<QProgressBar>(IdProgress))
{
}

DomainScanDialog::~DomainScanDialog()
{
    showWaitCursor(false);
}

void DomainScanDialog::starting()
{
    bar_->setRange(0, 10);
    bar_->setValue(0);
    timer_ = startTimer(100);
}

void DomainScanDialog::timerEvent(QTimerEvent* event)
{
    // Shows activity, not progress: 0..10 over and over, while the step works.
    if (event->timerId() != timer_ || !showsProgress())
        return;
    bar_->setValue(bar_->value() == bar_->maximum() ? 0 : bar_->value() + 1);
}

void DomainScanDialog::showWaitCursor(bool shown)
{
    if (shown == cursorShown_)
        return;
    cursorShown_ = shown;
    if (shown)
        cursor_.begin();
    else
        cursor_.end();
}

void DomainScanDialog::showProgress(const SearchProgress& progress)
{
    if (showsProgress())
        showWaitCursor(progress.discovery.listing);
}

void DomainScanDialog::done(int result)
{
    showWaitCursor(false);
    // The step has ended, either way: its outcome is final.
    if (!noticeShown_) {
        noticeShown_ = true;
        if (const auto notice = discoveryNoticeMessage(search_.outcome().discoveryNotice))
            prompter().show(*notice);
    }
    JobDialog::done(result);
}

} // namespace rm
