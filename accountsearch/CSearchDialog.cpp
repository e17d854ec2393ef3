#include "accountsearch/CSearchDialog.h"

#include "accountsearch/FormatDuration.h"
#include "platform/qt/PostedMessage.h"
#include "platform/qt/QtPoster.h"
#include "ui/WorkerWait.h"

#include <QAbstractButton>
#include <QProgressBar>

#include <cstdio>

namespace rm {

CSearchDialog::CSearchDialog(std::vector<std::string> computerNames, std::string accountName, Services services,
                             QWidget* parent)
    : CTemplateDialog(134, parent), s_(services), poster_(std::make_unique<QtPoster>(this))
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    search_ = std::make_unique<AccountSearch>(std::move(computerNames), std::move(accountName),
                                              AccountSearch::Services{s_.network, *poster_, s_.threads, s_.clock});
    connect(itemAs<QAbstractButton>(1051), &QAbstractButton::clicked, this, &CSearchDialog::reject);
}

// The search's destructor waits for its coordinator, which never waits for this thread.
CSearchDialog::~CSearchDialog() = default;

void CSearchDialog::showEvent(QShowEvent* event)
{
    CTemplateDialog::showEvent(event);
    if (started_)
        return;
    started_ = true;
    // The bar's range is 16 bits wide, as the platform's control is.
    itemAs<QProgressBar>(1050)->setRange(0, static_cast<int>(search_->computerCount() % 65536));
    search_->start();
}

void CSearchDialog::customEvent(QEvent* event)
{
    const int message = PostedMessage::messageOf(event);
    if (message == MessageFinished) {
        done(QDialog::Accepted);
    } else if (message == MessageProgress) {
        auto* posted = static_cast<PostedMessage*>(event);
        progress(static_cast<std::uint32_t>(posted->wParam()), static_cast<std::uint32_t>(posted->lParam()));
    }
}

void CSearchDialog::progress(std::uint32_t done, std::uint32_t total)
{
    itemAs<QProgressBar>(1050)->setValue(static_cast<int>(done % 65536));
    char status[96];
    std::snprintf(status, sizeof status, "Filtered %u of %u (%u%%)", done, total,
                  total ? static_cast<unsigned>(std::uint64_t(done) * 100 / total) : 0u);
    setText(1034, status);
    if (done == 0)
        return;
    const std::uint32_t elapsed = (s_.clock.now() - search_->startTime()) / 1000;
    const std::uint32_t estimatedTotal = static_cast<std::uint32_t>(std::uint64_t(elapsed) * total / done);
    setText(1052, formatDuration(elapsed));
    setText(1053, formatDuration(estimatedTotal - elapsed));
}

void CSearchDialog::reject()
{
    const Message question{"Confirm Cancel",
                           "Cancelling will lose all progress made so far.\n\nAre you sure you wish to cancel?",
                           MessageButtons::YesNo, MessageIcon::Question};
    if (s_.prompter.show(question) != MessageAnswer::Yes)
        return;
    setEnabled(1051, false);
    setText(1034, "Cancelling ...");
    search_->requestCancel();
    waitForFlag(search_->finishedFlag(), std::chrono::milliseconds(10));
    done(QDialog::Rejected);
}

} // namespace rm
