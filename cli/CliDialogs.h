#pragma once

#include "cli/BatchReport.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleProgress.h"
#include "core/search/PortSweep.h"
#include "gui/mainwindow/MainWindowDialogs.h"
#include "core/ports/CurrentIdentity.h"
#include "core/ports/DirectoryClient.h"
#include "core/ports/HostResolver.h"
#include "core/ports/IcmpSocket.h"
#include "core/ports/NetworkManagement.h"
#include "core/ports/Prompter.h"
#include "core/ports/Threads.h"
#include "core/report/ReportServices.h"
#include "core/jobs/Worker.h"

#include <functional>
#include <optional>
#include <ostream>

namespace rm {

struct PostedMessage;

// The steps the main window runs as modal dialogs, run on the console: each
// worker on its own thread as in the window, its posts taken by this thread,
// its progress on standard error. Keeps what each step found, for the
// reasons and the figures the window does not show.
class CliDialogs : public MainWindowDialogs {
public:
    struct Services {
        NetworkManagement& network;
        CurrentIdentity& identity;
        DirectoryClient& directory;
        HostResolver& resolver;
        IcmpSockets& icmp;
        ThreadStarter& threads;
        TickClock& clock;
        PortProbe& probe;
        Prompter& prompter;
        ReportServices reports;
        std::ostream& err;
    };

    struct Settings {
        AliveMode alive = AliveMode::Icmp;
        // The computers to check instead of a domain scan.
        std::optional<std::vector<FoundComputer>> listed;
        bool dryRun = false;
        std::string logFolder; // the activity log's; empty: current folder, else home
        std::ostream* out = nullptr; // what a batch did, or a dry run would do
    };

    CliDialogs(Services services, Settings settings, ConsoleProgress& progress);

    bool runSearchOptions(SearchOptions&) override { return false; }
    bool runPasswordOptions(PasswordOptions&) override { return false; }
    void runAbout() override {}
    std::vector<FoundComputer> runDomainScan(const std::string& domain, const SearchOptions& options) override;
    PingScanOutcome runPingScan(const std::vector<std::string>& names) override;
    std::optional<std::vector<AccountCheckResult>> runAccountSearch(const std::vector<std::string>& computerNames,
                                                                    const std::string& accountName,
                                                                    bool groupMode) override;
    void runResults(const SearchSummary&) override {}
    void runOperations(std::vector<AccountOperation>& operations) override;
    void writeActivityLog(const std::vector<AccountOperation>& operations) override;

    // The names the liveness step removed, in its order.
    const std::vector<std::string>& livenessRemoved() const { return livenessRemoved_; }
    // The account check's names (with backslashes) and results, same index.
    const std::vector<std::string>& checkedNames() const { return checkedNames_; }
    const std::vector<AccountCheckResult>& checkResults() const { return checkResults_; }
    // Seconds of the three steps of a search.
    double discoverySeconds() const { return discoverySeconds_; }
    double livenessSeconds() const { return livenessSeconds_; }
    double checkSeconds() const { return checkSeconds_; }
    // The batch's counts; nothing before a batch ran.
    const std::optional<BatchTotals>& totals() const { return totals_; }

private:
    // Runs a worker to its end; a Ctrl+C cancels it.
    void run(Worker& worker, const std::function<void(const PostedMessage&)>& onProgress);
    std::vector<std::string> pingRemovals(const std::vector<std::string>& names, std::string& errorText);
    std::vector<std::string> portRemovals(const std::vector<std::string>& names);

    Services s_;
    Settings settings_;
    ConsoleProgress& progress_;
    std::vector<std::string> livenessRemoved_;
    std::vector<std::string> checkedNames_;
    std::vector<AccountCheckResult> checkResults_;
    double discoverySeconds_ = 0, livenessSeconds_ = 0, checkSeconds_ = 0;
    std::optional<BatchTotals> totals_;
};

} // namespace rm
