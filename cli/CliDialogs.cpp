#include "cli/CliDialogs.h"

#include "core/search/AccountSearch.h"
#include "cli/Interrupt.h"
#include "cli/NoWaitCursor.h"
#include "cli/QueuePoster.h"
#include "core/search/DomainScanWorker.h"
#include "core/search/PingScanWorker.h"
#include "core/report/ActivityLog.h"
#include "core/batch/OperationWorker.h"
#include "core/ports/Text.h"

#include <chrono>
#include <cstdlib>
#include <unistd.h>

namespace rm {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

CliDialogs::CliDialogs(Services services, Settings settings, ConsoleProgress& progress)
    : s_(services), settings_(std::move(settings)), progress_(progress)
{
}

void CliDialogs::run(Worker& worker, const std::function<void(const PostedMessage&)>& onProgress)
{
    QueuePoster queue;
    NoWaitCursor cursor;
    worker.start(queue);
    for (;;) {
        if (interrupted() && !worker.cancelRequested())
            worker.requestCancel();
        const auto m = queue.next(std::chrono::milliseconds(100));
        if (!m)
            continue;
        if (Worker::serveRequest(m->message, m->wParam, m->lParam, s_.prompter, cursor))
            continue;
        if (m->message == MessageFinished)
            break;
        if (m->message == MessageProgress)
            onProgress(*m);
    }
    worker.join();
    progress_.clear();
}

std::vector<FoundComputer> CliDialogs::runDomainScan(const std::string& domain, const SearchOptions& options)
{
    const auto start = Clock::now();
    std::vector<FoundComputer> found;
    if (settings_.listed) {
        found = *settings_.listed;
    } else {
        DomainScanWorker scan(domain, options, {s_.network, s_.identity, s_.directory, s_.err});
        progress_.show("Finding the computers of " + domain + " ...");
        run(scan, [](const PostedMessage&) {});
        found = scan.computers();
    }
    discoverySeconds_ = secondsSince(start);
    return found;
}

std::vector<std::string> CliDialogs::pingRemovals(const std::vector<std::string>& names, std::string& errorText)
{
    PingScanWorker ping(names, {s_.resolver, s_.icmp, s_.threads, s_.clock});
    progress_.show("Pinging " + std::to_string(names.size()) + " computers ...");
    run(ping, [](const PostedMessage&) {});
    errorText = ping.errorText();
    return ping.removalList();
}

std::vector<std::string> CliDialogs::portRemovals(const std::vector<std::string>& names)
{
    PortSweep sweep(names, {s_.probe, s_.threads});
    run(sweep, [this](const PostedMessage& m) {
        progress_.show("Connecting to port 445: " + std::to_string(m.wParam) + " of " + std::to_string(m.lParam));
    });
    return sweep.removalList();
}

PingScanOutcome CliDialogs::runPingScan(const std::vector<std::string>& names)
{
    const auto start = Clock::now();
    PingScanOutcome outcome;
    switch (settings_.alive) {
    case AliveMode::Icmp:
        outcome.removalList = pingRemovals(names, outcome.errorText);
        break;
    case AliveMode::Smb:
        outcome.removalList = portRemovals(names);
        break;
    case AliveMode::Both: {
        // Kept when either answers: removed only when neither does. Where
        // the ping could not run, the port alone decides.
        const std::vector<std::string> silent = pingRemovals(names, outcome.errorText);
        const std::vector<std::string> closed = portRemovals(names);
        for (const std::string& name : closed) {
            bool alsoSilent = !outcome.errorText.empty();
            for (const std::string& s : silent)
                alsoSilent = alsoSilent || equalsIgnoringCase(s, name);
            if (alsoSilent)
                outcome.removalList.push_back(name);
        }
        break;
    }
    }
    livenessRemoved_ = outcome.removalList;
    livenessSeconds_ = secondsSince(start);
    return outcome;
}

std::optional<std::vector<AccountCheckResult>> CliDialogs::runAccountSearch(
    const std::vector<std::string>& computerNames, const std::string& accountName, bool groupMode)
{
    const auto start = Clock::now();
    AccountSearch search(computerNames, accountName, {s_.network, s_.threads, s_.clock});
    search.groupMode = groupMode;
    progress_.show("Checking 0 of " + std::to_string(computerNames.size()) + " computers ...");
    run(search, [this](const PostedMessage& m) {
        progress_.show("Checking " + std::to_string(m.wParam) + " of " + std::to_string(m.lParam) + " computers ...");
    });
    checkSeconds_ = secondsSince(start);
    if (search.cancelRequested())
        return std::nullopt;
    checkedNames_ = computerNames;
    checkResults_ = search.results();
    return search.results();
}

void CliDialogs::runOperations(std::vector<AccountOperation>& operations)
{
    if (settings_.dryRun) {
        if (settings_.out)
            *settings_.out << planText(operations);
        return;
    }
    OperationWorker batch(operations, s_.network);
    run(batch, [this, &batch, &operations](const PostedMessage&) {
        const OperationCounters& c = batch.counters();
        const int done = c.renameTotal + c.passwordTotal + c.enableTotal;
        progress_.show("Working ... " + std::to_string(done) + " actions on " + std::to_string(operations.size())
                       + " accounts");
    });
    totals_ = BatchTotals::of(batch.counters(), batch.cancelRequested());
    if (settings_.out)
        *settings_.out << outcomeText(operations);
}

void CliDialogs::writeActivityLog(const std::vector<AccountOperation>& operations)
{
    if (settings_.dryRun)
        return;
    std::string folder = settings_.logFolder;
    if (folder.empty() && ::access(".", W_OK) != 0) {
        const char* home = std::getenv("HOME");
        folder = home ? home : "";
    }
    rm::writeActivityLog(operations, s_.reports, folder);
}

} // namespace rm
