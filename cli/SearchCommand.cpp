#include "cli/SearchCommand.h"

#include "cli/CliProgram.h"
#include "cli/ConsoleProgress.h"
#include "cli/InputText.h"
#include "cli/Notices.h"
#include "cli/SearchReport.h"
#include "core/messages/SearchMessages.h"
#include "core/search/DefaultDomainName.h"
#include "core/search/Search.h"

#include <chrono>
#include <cstdio>
#include <ostream>
#include <unistd.h>

namespace rm {
namespace {

// One name a line, blank lines and '#' comments skipped, backslashes before
// a name dropped.
std::vector<std::string> listedComputers(const std::string& text)
{
    std::vector<std::string> names;
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
        names.push_back(line.substr(first, line.find_last_not_of(" \t\r") + 1 - first));
    }
    return names;
}

std::string progressText(const SearchProgress& p, const SearchRequest& request)
{
    switch (p.step) {
    case SearchStep::Discovery:
        return request.computers ? std::string() : "Finding the computers of " + request.options.domain + " ...";
    case SearchStep::Liveness:
        if (p.liveness.phase == LivenessProgress::Phase::Probing)
            return "Connecting to port 445: " + std::to_string(p.liveness.probed) + " of "
                 + std::to_string(p.liveness.toProbe);
        return "Pinging " + std::to_string(p.liveness.computers) + " computers ...";
    case SearchStep::Check:
        return "Checking " + std::to_string(p.check.done) + " of " + std::to_string(p.check.total) + " computers ...";
    }
    return {};
}

// The request from the flags over the settings file's options; the domain
// the user's own where none is given.
SearchRequest requestFor(const SearchArgs& args, ConsolePlatform& platform, CurrentIdentity& identity,
                         std::istream& in)
{
    if (args.computersFile == "-" && args.logon.passwordFd == STDIN_FILENO)
        throw UsageError("standard input cannot carry both the computers and the password: use another descriptor");
    SearchRequest request;
    request.account = args.accountName;
    request.kind = args.kind;
    request.options = searchOptionsFor(args, platform.settings().loadSearchOptions());
    request.liveness = args.alive;
    if (!args.computersFile.empty())
        request.computers = listedComputers(readInputText(args.computersFile, in));
    requireCredentials(identity);
    if (!request.computers && request.options.domain.empty()) {
        request.options.domain = defaultDomainName(identity);
        if (request.options.domain.empty())
            throw UsageError("no domain: give --domain NAME");
    }
    return request;
}

// What each step had to say, in the order the window says it; a refusal
// of the request ends the program as a usage error.
void tellNotices(const SearchRequest& request, const SearchOutcome& outcome, std::ostream& err)
{
    std::string refusal;
    if (const auto notice = discoveryNoticeMessage(outcome.discoveryNotice)) {
        if (outcome.discoveryNotice == DiscoveryNotice::NoDirectory)
            refusal = oneLine(notice->text);
        else if (outcome.discoveryNotice == DiscoveryNotice::SimpleBindOff)
            tell(err, {notice->title, simpleBindOffText("give --allow-simple-bind"), notice->buttons, notice->icon});
        else
            tell(err, *notice);
    }
    if (outcome.hiddenScanFailure != NetStatus::Success)
        err << "Error: " << statusNumber(outcome.hiddenScanFailure) << "\n";
    if (const auto failure = livenessFailureMessage(outcome.livenessFailure))
        tell(err, *failure);
    if (outcome.counts.totalFound == 0)
        tell(err, noComputersFound());
    else if (outcome.state == SearchState::CheckCancelled)
        tell(err, searchCancelled(request.kind, request.account));
    else if (outcome.rows.empty())
        tell(err, allComputersRemoved(request.kind, request.account));
    if (!refusal.empty())
        throw UsageError(refusal);
}

void printReport(const SearchArgs& args, const SearchReport& report, std::ostream& out, std::ostream& err)
{
    switch (args.format) {
    case OutputFormat::Table:
        out << tableText(report);
        break;
    case OutputFormat::Csv:
        out << csvText(report);
        for (const auto& [label, count] : searchCounts(report.outcome.counts, report.request.kind))
            err << label << " " << count << "\n";
        break;
    case OutputFormat::Json:
        out << jsonText(report);
        break;
    }
    out.flush();
}

// Only the accounts whose password is older than `days` days: those a
// rotation is due for. Rows without an account go too.
void keepOlderPasswords(SearchOutcome& outcome, int days, std::ostream& err)
{
    const std::int64_t limit = std::int64_t{days} * 86400;
    const std::size_t before = outcome.rows.size();
    std::erase_if(outcome.rows,
                  [&](const ComputerRow& r) { return !r.account || r.account->passwordAgeSeconds <= limit; });
    if (outcome.rows.size() != before)
        err << "Left out " << before - outcome.rows.size() << " account(s) whose password is " << days
            << " days old or newer." << std::endl;
}

} // namespace

int runSearch(const SearchArgs& args, ConsolePlatform& platform, ConsoleFace& face, std::istream& in,
              std::ostream& out, std::ostream& err)
{
    const auto started = std::chrono::steady_clock::now();
    const SearchServices services = platform.search();
    const SearchRequest request = requestFor(args, platform, services.identity, in);
    SearchOutcome outcome;
    {
        ConsoleProgress shown(err, ::isatty(STDERR_FILENO) == 1);
        Progress<SearchProgress> progress(face,
                                          [&](const SearchProgress& p) { shown.show(progressText(p, request)); });
        Job job([&](const CancelToken& cancel) { outcome = search(request, services, progress, cancel); });
        face.run(job);
    }
    tellNotices(request, outcome, err);
    if (outcome.state == SearchState::CheckCancelled)
        return ExitSomeFailed;
    if (args.passwordOlderThanDays)
        keepOlderPasswords(outcome, *args.passwordOlderThanDays, err);
    printReport(args, {request, outcome, args.all}, out, err);
    if (args.timings) {
        const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        char line[200];
        std::snprintf(line, sizeof line,
                      "discovery_seconds=%.3f ping_seconds=%.3f check_seconds=%.3f total_seconds=%.3f",
                      outcome.times.discovery / 1000.0, outcome.times.liveness / 1000.0, outcome.times.check / 1000.0,
                      total);
        err << line << std::endl;
    }
    return outcome.counts.totalFound == 0 || outcome.counts.offline > 0 ? ExitSomeFailed : ExitDone;
}

} // namespace rm
