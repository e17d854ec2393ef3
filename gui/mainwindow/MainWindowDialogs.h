#pragma once

#include "core/batch/BatchOutcome.h"
#include "core/batch/BatchPlan.h"
#include "core/passwords/PasswordOptions.h"
#include "core/report/ComputerCells.h"
#include "core/search/Search.h"

#include <ctime>
#include <functional>
#include <optional>

namespace rm {

// The modal windows the main window opens over itself. Each option dialog
// edits the record it is given and answers true when it ended with OK; each
// step of a search runs as a progress dialog over its job.
class MainWindowDialogs {
public:
    virtual ~MainWindowDialogs() = default;
    virtual bool runSearchOptions(SearchOptions& options) = 0;
    virtual bool runPasswordOptions(PasswordOptions& options) = 0;
    virtual void runAbout() = 0;

    // The steps of a search. Discovery and liveness go on after a cancel
    // with what they found; false when the user cancelled the check.
    virtual void runDiscovery(Search& search) = 0;
    virtual void runLiveness(Search& search) = 0;
    virtual bool runCheck(Search& search) = 0;
    virtual void runResults(const Search& search) = 0;

    // The batch, run however the status dialog is closed; nothing when it
    // could not start (its journal could not be made, and the user was told).
    virtual std::optional<BatchOutcome> runBatch(const BatchPlan& plan, std::time_t confirmed) = 0;
    // The batch's activity log, written and opened; then its journal goes.
    virtual void writeActivityLog(const BatchOutcome& outcome) = 0;
    // The list as shown, through the save dialog.
    virtual void exportList(const std::vector<ComputerCells>& rows) = 0;

    // Waits, the window painting, until `done` holds; it is asked again
    // whenever the window's thread has handled something, such as the end
    // notice of a job.
    virtual void waitUntil(const std::function<bool()>& done) = 0;
};

} // namespace rm
