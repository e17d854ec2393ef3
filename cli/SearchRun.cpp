#include "cli/SearchRun.h"

#include "cli/CliDialogs.h"
#include "cli/CliProgram.h"
#include "cli/ConsolePrompter.h"
#include "cli/ConsoleWindow.h"
#include "cli/DropReason.h"
#include "cli/InputText.h"
#include "cli/SearchReport.h"
#include "core/search/DefaultDomainName.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "core/ports/Text.h"

#include <chrono>
#include <cstdio>
#include <iomanip>
#include <ostream>
#include <unistd.h>

namespace rm {
namespace {

// One name a line, blank lines and '#' comments skipped, backslashes before
// a name dropped.
std::vector<FoundComputer> listedComputers(const std::string& text)
{
    std::vector<FoundComputer> found;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t first = line.find_first_not_of(" \t\r\\");
        if (first == std::string::npos || line[first] == '#')
            continue;
        line = line.substr(first, line.find_last_not_of(" \t\r") + 1 - first);
        found.push_back({line, ""});
    }
    return found;
}

} // namespace

int runSearch(const SearchArgs& args, CliPlatform& p, std::istream& in, std::ostream& out, std::ostream& err)
{
    const auto started = std::chrono::steady_clock::now();
    CliDialogs::Settings settings;
    settings.alive = args.alive;
    if (args.computersFile == "-" && args.logon.passwordFd == STDIN_FILENO)
        throw UsageError("standard input cannot carry both the computers and the password: use another descriptor");
    if (!args.computersFile.empty())
        settings.listed = listedComputers(readInputText(args.computersFile, in));
    SearchOptions options = searchOptionsFor(args, p.settings.loadSearchOptions());

    p.requireCredentials();
    if (!settings.listed && options.Domain.empty()) {
        options.Domain = defaultDomainName(p.identity);
        if (options.Domain.empty())
            throw UsageError("no domain: give --domain NAME");
    }

    ConsolePrompter prompter(err, {}, false);
    ConsoleProgress progress(err, ::isatty(STDERR_FILENO) == 1);
    CliDialogs dialogs({p.network, p.identity, p.directory, p.resolver, p.icmp, p.threads, p.clock, p.probe, prompter,
                        {prompter, p.chooser, p.files, p.shell, p.wallClock}, err},
                       settings, progress);
    ConsoleWindow window(p.settings, prompter, dialogs, p.identity);
    window.controls.setText(IdAccountName, args.accountName);
    window.controls.setChecked(args.groupMode ? IdGroupMode : IdUserMode, true);
    window.controller.searchOptions() = options;
    window.controller.searchCommand();
    progress.clear();

    if (!prompter.errorText().empty())
        throw UsageError(prompter.errorText());
    const SearchSummary& summary = window.controller.lastSearch();
    const bool cancelled = summary.totalFound > 0 && !window.controller.searchDone();
    if (cancelled)
        return ExitSomeFailed;

    SearchReport report;
    for (const auto& row : window.list.rows)
        report.rows.push_back(row);
    report.summary = summary;
    report.withDropped = args.all;
    if (args.all)
        report.dropped = droppedComputers(summary, dialogs, args.alive);
    switch (args.format) {
    case OutputFormat::Table:
        out << tableText(report);
        break;
    case OutputFormat::Csv:
        out << csvText(report);
        for (const auto& [label, count] : searchCounts(summary))
            err << label << " " << count << "\n";
        break;
    case OutputFormat::Json:
        out << jsonText(report);
        break;
    }
    out.flush();
    if (args.timings) {
        const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char line[200];
        std::snprintf(line, sizeof line, "discovery_seconds=%.3f ping_seconds=%.3f check_seconds=%.3f total_seconds=%.3f",
                      dialogs.discoverySeconds(), dialogs.livenessSeconds(), dialogs.checkSeconds(), total);
        err << line << std::endl;
    }
    return summary.totalFound == 0 || summary.offline > 0 ? ExitSomeFailed : ExitDone;
}

} // namespace rm
