#include "gui/dialogs/SearchProgressDialog.h"

#include "gui/dialogs/FormatDuration.h"

#include <QProgressBar>

#include <cstdio>

namespace rm {

SearchProgressDialog::SearchProgressDialog(std::vector<std::string> computerNames, std::string accountName,
                             AccountSearch::Services search, JobDialog::Services services, QWidget* parent)
    : JobDialog(134, std::make_unique<AccountSearch>(std::move(computerNames), std::move(accountName), search),
                    services,
                    {{"Confirm Cancel",
                      "Cancelling will lose all progress made so far.\n\nAre you sure you wish to cancel?",
                      MessageButtons::YesNo, MessageIcon::Question},
                     IdCancel, IdStatus, std::chrono::milliseconds(10)},
                    parent),
      search_(static_cast<AccountSearch&>(worker())), clock_(search.clock)
{
}

void SearchProgressDialog::starting()
{
    // The bar's range is 16 bits wide, as the platform's control is.
    itemAs<QProgressBar>(IdProgress)->setRange(0, static_cast<int>(search_.computerCount() % 65536));
}

void SearchProgressDialog::progress(std::uintptr_t doneCount, std::intptr_t totalCount)
{
    const auto done = static_cast<std::uint32_t>(doneCount);
    const auto total = static_cast<std::uint32_t>(totalCount);
    itemAs<QProgressBar>(IdProgress)->setValue(static_cast<int>(done % 65536));
    char status[96];
    std::snprintf(status, sizeof status, "Filtered %u of %u (%u%%)", done, total,
                  total ? static_cast<unsigned>(std::uint64_t(done) * 100 / total) : 0u);
    setText(IdStatus, status);
    if (done == 0)
        return;
    const std::uint32_t elapsed = (clock_.now() - search_.startTime()) / 1000;
    const std::uint32_t estimatedTotal = static_cast<std::uint32_t>(std::uint64_t(elapsed) * total / done);
    setText(IdElapsed, formatDuration(elapsed));
    setText(IdRemaining, formatDuration(estimatedTotal - elapsed));
}

} // namespace rm
