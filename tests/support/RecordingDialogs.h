#pragma once

#include "core/batch/Batch.h"
#include "gui/mainwindow/MainWindowDialogs.h"

#include <functional>
#include <vector>

namespace rm {

// The main window's modal windows without windows: option dialogs end as
// scripted, changing the record they are given; the search's steps and the
// batch run on the test's thread over whatever the search and the batch
// were given, a step's cancel as scripted; what was shown is kept.
class RecordingDialogs : public MainWindowDialogs {
public:
    explicit RecordingDialogs(NetworkManagement& network) : network_(network) {}

    // Keeps what it was shown, then edits the record whatever the answer,
    // as a dialog may before it is cancelled.
    bool runSearchOptions(SearchOptions& o) override
    {
        ++searchOptionsRuns;
        searchOptionsShown = o;
        if (editSearchOptions)
            editSearchOptions(o);
        return searchOptionsOk;
    }
    bool runPasswordOptions(PasswordOptions& o) override
    {
        ++passwordOptionsRuns;
        if (passwordOptionsOk && editPasswordOptions)
            editPasswordOptions(o);
        return passwordOptionsOk;
    }
    void runAbout() override { ++aboutRuns; }

    void runDiscovery(Search& search) override
    {
        steps.push_back("discovery");
        Progress<SearchProgress> progress;
        CancelToken cancel;
        search.discover(progress, cancel);
    }
    void runLiveness(Search& search) override
    {
        steps.push_back("liveness");
        Progress<SearchProgress> progress;
        CancelToken cancel;
        search.dropSilent(progress, cancel);
    }
    bool runCheck(Search& search) override
    {
        steps.push_back("check");
        Progress<SearchProgress> progress;
        CancelToken cancel;
        if (cancelCheck)
            cancel.cancel();
        search.check(progress, cancel);
        return !cancelCheck;
    }
    void runResults(const Search& search) override { results.push_back(search.outcome()); }

    // Runs the batch, or cancels it before its first account.
    std::optional<BatchOutcome> runBatch(const BatchPlan& plan, std::time_t confirmed) override
    {
        ++batchRuns;
        confirmedAt = confirmed;
        Progress<BatchCounts> progress;
        CancelToken cancel;
        if (cancelBatch)
            cancel.cancel();
        return apply(plan, confirmed, network_, progress, cancel);
    }
    void writeActivityLog(const BatchOutcome& outcome) override { logged.push_back(outcome); }
    void exportList(const std::vector<ComputerCells>& rows) override { exported.push_back(rows); }
    void waitUntil(const std::function<bool()>& done) override
    {
        ++waits;
        while (!done())
            if (onWait)
                onWait();
    }

    std::function<void(SearchOptions&)> editSearchOptions;
    SearchOptions searchOptionsShown;
    std::function<void(PasswordOptions&)> editPasswordOptions;
    bool searchOptionsOk = true;
    bool passwordOptionsOk = true;
    int searchOptionsRuns = 0, passwordOptionsRuns = 0, aboutRuns = 0;

    std::vector<std::string> steps;
    bool cancelCheck = false;
    std::vector<SearchOutcome> results;

    bool cancelBatch = false;
    int batchRuns = 0;
    std::time_t confirmedAt = 0;
    std::vector<BatchOutcome> logged;
    std::vector<std::vector<ComputerCells>> exported;
    int waits = 0;
    // Turns the window's thread while a wait goes on, e.g. running posted calls.
    std::function<void()> onWait;

private:
    NetworkManagement& network_;
};

} // namespace rm
