#include "core/search/Search.h"

#include "core/jobs/ParallelWork.h"
#include "core/ports/Text.h"
#include "core/search/AccountCheck.h"
#include "core/search/DomainScan.h"
#include "core/search/PingSweep.h"
#include "core/search/PortSweep.h"

#include <algorithm>

namespace rm {
namespace {

// Why a computer whose check failed left the list.
DropReason reasonFor(NetStatus failure)
{
    switch (failure) {
    case NetStatus::Success:
        return DropReason::NotFound;
    case NetStatus::AccessDenied:
    case NetStatus::LogonFailure:
        return DropReason::AccessDenied;
    case NetStatus::RemoteNotListening:
    case NetStatus::BadNetPath:
    case NetStatus::NetNameDeleted:
    case NetStatus::ServerUnavailable:
    case NetStatus::CallFailed:
    case NetStatus::CallFailedDidNotExecute:
        return DropReason::Unreachable;
    default:
        return DropReason::CheckFailed;
    }
}

std::vector<std::string> namesOf(const std::vector<FoundComputer>& computers)
{
    std::vector<std::string> names;
    for (const FoundComputer& c : computers)
        names.push_back(c.name);
    return names;
}

} // namespace

Search::Search(SearchRequest request, SearchServices services) : request_(std::move(request)), s_(services) {}

void Search::discover(Progress<SearchProgress>& progress, const CancelToken& cancel)
{
    const std::uint32_t start = s_.clock.now();
    progress.update([](SearchProgress& p) { p.step = SearchStep::Discovery; });
    SearchOutcome& o = outcome_;
    if (request_.computers) {
        for (const std::string& name : *request_.computers)
            o.discovered.push_back({name, ""});
    } else {
        DomainScan scan(request_.options.domain, request_.options, {s_.network, s_.identity, s_.directory});
        scan.run(progress, cancel);
        o.discovered = scan.computers();
        o.discoveryNotice = scan.notice();
        o.hiddenScanFailure = scan.hiddenScanFailure();
    }
    // Each found computer goes to the top of the list.
    o.rows.clear();
    for (auto c = o.discovered.rbegin(); c != o.discovered.rend(); ++c)
        o.rows.push_back({*c, std::nullopt});
    o.counts.totalFound = static_cast<int>(o.discovered.size());
    o.state = SearchState::Discovered;
    o.times.discovery = s_.clock.now() - start;
}

bool Search::wantsLiveness() const
{
    return request_.options.pingScan && outcome_.counts.totalFound != 0;
}

void Search::dropSilent(Progress<SearchProgress>& progress, const CancelToken& cancel)
{
    const std::uint32_t start = s_.clock.now();
    SearchOutcome& o = outcome_;
    const std::vector<std::string> names = namesOf(o.discovered);
    progress.update([&names](SearchProgress& p) {
        p.step = SearchStep::Liveness;
        p.liveness.computers = names.size();
    });
    std::vector<std::string> removals;
    const Liveness mode = request_.liveness;
    if (mode == Liveness::Ping || mode == Liveness::PingOrPort)
        removals = PingSweep({s_.resolver, s_.icmp, s_.threads, s_.clock}, progress, cancel)
                       .run(names, o.livenessFailure);
    if (mode != Liveness::Ping) {
        // Kept when either answers: removed only when neither does. Where the
        // ping could not run, the port alone decides.
        const std::vector<std::string> silent = std::move(removals);
        removals.clear();
        for (const std::string& name : PortSweep::closed(names, {s_.probe, s_.threads}, progress, cancel)) {
            const bool alsoSilent = mode == Liveness::Port || o.livenessFailure != LivenessFailure::None
                || std::any_of(silent.begin(), silent.end(),
                               [&](const std::string& s) { return equalsIgnoringCase(s, name); });
            if (alsoSilent)
                removals.push_back(name);
        }
    }
    // Each name takes the first row from the top that carries it.
    for (const std::string& name : removals) {
        const auto row = std::find_if(o.rows.begin(), o.rows.end(),
                                      [&](const ComputerRow& r) { return equalsIgnoringCase(r.computer.name, name); });
        if (row == o.rows.end())
            continue;
        o.dropped.push_back({row->computer, DropReason::Offline, NetStatus::Success});
        o.rows.erase(row);
        ++o.counts.offline;
    }
    o.state = SearchState::LivenessChecked;
    o.times.liveness = s_.clock.now() - start;
}

void Search::check(Progress<SearchProgress>& progress, const CancelToken& cancel)
{
    const std::uint32_t start = s_.clock.now();
    SearchOutcome& o = outcome_;
    const std::size_t total = o.rows.size();
    progress.update([total](SearchProgress& p) {
        p.step = SearchStep::Check;
        p.check = {0, static_cast<std::uint32_t>(total)};
    });
    std::vector<ComputerCheck> checks(total);
    auto counted = [](SearchProgress& p) { ++p.check.done; };
    workInParallel(
        s_.threads, {CheckThreads, CheckStack, ThreadStarter::Priority::BelowNormal}, total, cancel,
        [&](std::size_t i) {
            checks[i] = checkComputer(s_.network, ServerName(o.rows[i].computer.name), request_.account,
                                      request_.kind, cancel);
            progress.update(counted);
        },
        [&](std::size_t i) {
            // A check that never ran has ended and failed.
            checks[i].failure = NetStatus::NotEnoughMemory;
            progress.update(counted);
        });
    o.times.check = s_.clock.now() - start;
    if (cancel.cancelled()) {
        o.state = SearchState::CheckCancelled;
        return;
    }

    // Bottom up, as the list is reduced: the matched and dropped lists take
    // that order, and a computer's further members go right below its first.
    int eliminated = 0;
    std::vector<ComputerRow> rows;
    for (std::size_t i = total; i-- > 0;) {
        const ComputerCheck& c = checks[i];
        const FoundComputer& computer = o.rows[i].computer;
        if (c.failed())
            ++o.counts.offline;
        if (!c.matched()) {
            o.dropped.push_back({computer, reasonFor(c.failure), c.failure});
            ++eliminated;
            continue;
        }
        o.matched.push_back(computer);
        std::vector<ComputerRow> own{{computer, c.accounts[0]}};
        for (std::size_t k = c.accounts.size(); k-- > 1;)
            own.push_back({computer, c.accounts[k]});
        rows.insert(rows.begin(), own.begin(), own.end());
    }
    o.rows = std::move(rows);
    // Removed by either step, less those counted offline.
    const auto droppedSilent = std::count_if(o.dropped.begin(), o.dropped.end(),
                                             [](const DroppedComputer& d) { return d.reason == DropReason::Offline; });
    o.counts.notExist = static_cast<int>(droppedSilent) + eliminated - o.counts.offline;
    o.state = SearchState::Checked;
}

SearchOutcome search(SearchRequest request, SearchServices services, Progress<SearchProgress>& progress,
                     const CancelToken& cancel)
{
    Search s(std::move(request), services);
    s.discover(progress, cancel);
    if (s.wantsLiveness())
        s.dropSilent(progress, cancel);
    if (s.outcome().counts.totalFound != 0)
        s.check(progress, cancel);
    return s.outcome();
}

} // namespace rm
