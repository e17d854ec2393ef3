#include "gui/dialogs/SearchProgressDialog.h"

#include "gui/dialogs/FormatDuration.h"

#include <QProgressBar>

#include <cstdio>

namespace rm {

SearchProgressDialog::SearchProgressDialog(std::size_t computers, TickClock& clock, JobDialog::Services services,
                                           QWidget* parent)
    : JobDialog(IddSearchProgress, services,
                {{"Confirm Cancel", "Cancelling will lose all progress made so far.\n\nAre you sure you wish to cancel?",
                  MessageButtons::YesNo, MessageIcon::Question},
                 IdCancel, IdStatus},
                parent),
      computers_(computers), clock_(clock), startTime_(clock.now())
{
}

void SearchProgressDialog::starting()
{
    // The bar's range is 16 bits wide, as the platform's control is.
    itemAs<QProgressBar>(IdProgress)->setRange(0, static_cast<int>(computers_ % 65536));
}

void SearchProgressDialog::showProgress(const SearchProgress& progress)
{
    if (!showsProgress())
        return;
    const std::uint32_t done = progress.check.done, total = progress.check.total;
    itemAs<QProgressBar>(IdProgress)->setValue(static_cast<int>(done % 65536));
    char status[96];
    std::snprintf(status, sizeof status, "Filtered %u of %u (%u%%)", done, total,
                  total ? static_cast<unsigned>(std::uint64_t(done) * 100 / total) : 0u);
    setText(IdStatus, status);
    if (done == 0)
        return;
    const std::uint32_t elapsed = (clock_.now() - startTime_) / 1000;
    const std::uint32_t estimatedTotal = static_cast<std::uint32_t>(std::uint64_t(elapsed) * total / done);
    setText(IdElapsed, formatDuration(elapsed));
    setText(IdRemaining, formatDuration(estimatedTotal - elapsed));
}

} // namespace rm
