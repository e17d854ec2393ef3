#include "gui/mainwindow/QtMainWindowDialogs.h"

#include "core/batch/Batch.h"
#include "core/report/ActivityLog.h"
#include "core/report/BatchRecord.h"
#include "core/report/ListExports.h"
#include "gui/dialogs/AboutDialog.h"
#include "gui/dialogs/DomainScanDialog.h"
#include "gui/dialogs/OperationDialog.h"
#include "gui/dialogs/PasswordOptionsDialog.h"
#include "gui/dialogs/PingScanDialog.h"
#include "gui/dialogs/ResultsDialog.h"
#include "gui/dialogs/SearchOptionsDialog.h"
#include "gui/dialogs/SearchProgressDialog.h"

#include <utility>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <iostream>

namespace rm {

QtMainWindowDialogs::QtMainWindowDialogs(QWidget* owner, WindowServices services)
    : owner_(owner), s_(services), reports_({s_.prompter, s_.fileChooser, s_.fileWriter, s_.shell})
{
}

bool QtMainWindowDialogs::runSearchOptions(SearchOptions& options)
{
    SearchOptionsDialog dialog(options, s_.prompter, owner_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = dialog.options();
    return true;
}

bool QtMainWindowDialogs::runPasswordOptions(PasswordOptions& options)
{
    PasswordOptionsDialog dialog(options, {s_.fileReader, s_.fileChooser}, owner_);
    return dialog.exec() == QDialog::Accepted;
}

void QtMainWindowDialogs::runAbout()
{
    AboutDialog about(owner_, s_.shell, s_.prompter);
    about.exec();
}

// Each step: its dialog, then the progress it shows, then the job, so the
// job has ended before what it reports to goes.
void QtMainWindowDialogs::runDiscovery(Search& search)
{
    DomainScanDialog dialog(search, {s_.prompter, s_.ui}, s_.waitCursor, owner_);
    Progress<SearchProgress> progress(s_.ui, [&dialog](const SearchProgress& p) { dialog.showProgress(p); });
    Job job([&](const CancelToken& cancel) { search.discover(progress, cancel); });
    dialog.run(job);
    // The hidden scan's failure goes where the program's own output goes.
    if (const NetStatus failure = search.outcome().hiddenScanFailure; failure != NetStatus::Success)
        std::cout << "Error: " << statusNumber(failure) << "\n";
}

void QtMainWindowDialogs::runLiveness(Search& search)
{
    PingScanDialog dialog({s_.prompter, s_.ui}, owner_);
    Progress<SearchProgress> progress(s_.ui, [&dialog](const SearchProgress& p) { dialog.showProgress(p); });
    Job job([&](const CancelToken& cancel) { search.dropSilent(progress, cancel); });
    dialog.run(job);
}

bool QtMainWindowDialogs::runCheck(Search& search)
{
    SearchProgressDialog dialog(search.outcome().rows.size(), s_.search.clock, {s_.prompter, s_.ui}, owner_);
    Progress<SearchProgress> progress(s_.ui, [&dialog](const SearchProgress& p) { dialog.showProgress(p); });
    Job job([&](const CancelToken& cancel) { search.check(progress, cancel); });
    return dialog.run(job) == QDialog::Accepted;
}

void QtMainWindowDialogs::runResults(const Search& search)
{
    ResultsDialog dialog(
        search.outcome().counts, search.request().kind,
        [this, &search](ResultsExport which) {
            reports_.exportPage(resultsReport(which, search.request(), search.outcome(), s_.wallClock.now()));
        },
        owner_);
    dialog.exec();
}

std::optional<BatchOutcome> QtMainWindowDialogs::runBatch(const BatchPlan& plan, std::time_t confirmed)
{
    // No account is changed without a journal to say so.
    batchFolder_ = windowLogFolder();
    StartedJournal started = startJournal(s_.journals, batchFolder_, plan.request(), confirmed);
    if (!started.journal) {
        reports_.journalRefused(started);
        return std::nullopt;
    }
    const StartedKeeper keeper = startPasswordKeeper(plan, s_.journals, started, s_.random, s_.cipher);
    if (plan.generation() && !keeper.keeper) {
        started.journal->file().remove();
        s_.prompter.show({"Error", "Nothing was done: " + keeper.failure, MessageButtons::Ok, MessageIcon::Stop});
        return std::nullopt;
    }
    journal_ = std::move(started.journal);
    passwordRecord_ = keeper.keeper ? keeper.keeper->recordPath() : std::string();
    OperationDialog dialog({s_.prompter, s_.ui}, owner_);
    Progress<BatchCounts> progress(s_.ui, [&dialog](const BatchCounts& c) { dialog.showProgress(c); });
    BatchOutcome outcome;
    Job job([&](const CancelToken& cancel) {
        outcome = apply(plan, confirmed, s_.search.network, progress, cancel, journal_.get(), keeper.keeper.get());
    });
    dialog.run(job);
    if (keeper.keeper && !keeper.keeper->failure().empty())
        s_.prompter.show({"Error", "The batch stopped: " + keeper.keeper->failure(), MessageButtons::Ok,
                          MessageIcon::Stop});
    return outcome;
}

std::string windowLogFolder()
{
    if (QFileInfo(QDir::currentPath()).isWritable())
        return {};
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    return documents.toStdString();
}

void QtMainWindowDialogs::writeActivityLog(const BatchOutcome& outcome)
{
    const std::unique_ptr<BatchJournal> journal = std::move(journal_);
    // A log that could not be written leaves the journal for the next start.
    const std::string record = std::exchange(passwordRecord_, {});
    if (reports_.saveLog(finishedLog(journal.get(), outcome, s_.wallClock.now(), record), batchFolder_) && journal)
        journal->file().remove();
}

void QtMainWindowDialogs::exportList(const std::vector<ComputerCells>& rows)
{
    reports_.exportPage(computerListReport(rows, s_.wallClock.now()));
}

void QtMainWindowDialogs::waitUntil(const std::function<bool()>& done)
{
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
}

} // namespace rm
