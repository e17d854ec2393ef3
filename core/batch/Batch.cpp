#include "core/batch/Batch.h"

namespace rm {
namespace {

// Records how an action ended and counts it.
void settle(ActionOutcome& action, NetStatus status, BatchCounts::Count& count)
{
    action.attempted = true;
    action.status = status;
    ++(action.succeeded() ? count.succeeded : count.failed);
    ++count.total;
}

} // namespace

BatchOutcome apply(const BatchPlan& plan, std::time_t confirmed, NetworkManagement& network,
                   Progress<BatchCounts>& progress, const CancelToken& cancel, BatchJournal* journal,
                   PasswordKeeper* keeper)
{
    const BatchRequest& r = plan.request();
    BatchOutcome out;
    out.rename = r.rename;
    out.newName = r.newName;
    out.changePassword = r.changePassword;
    out.enabledChoice = r.enabledChoice;
    const bool changeEnabled = r.enabledChoice != EnabledChoice::Keep;
    for (const BatchTarget& target : r.targets) {
        AccountOutcome& a = out.accounts.emplace_back();
        a.target = target;
        a.time = confirmed;
        a.password.requested = r.changePassword;
        a.enable.requested = changeEnabled;
        a.rename.requested = r.rename;
    }
    for (AccountOutcome& a : out.accounts) {
        if (cancel.cancelled()) {
            out.cancelled = true;
            break;
        }
        const ServerName server(a.target.computer);
        std::optional<Secret> generated;
        if (r.changePassword && r.generated) {
            generated = keeper ? keeper->draw(a) : std::nullopt;
            if (!generated) {
                out.cancelled = true;
                break;
            }
        }
        {
            // The account's calls share one connection; no cancel is given to
            // the session, since an account once begun is completed.
            const auto session = network.openSession(server);
            if (r.changePassword) {
                settle(a.password, network.setPassword(server, a.target.user, generated ? *generated : r.password),
                       out.counts.password);
                if (generated)
                    keeper->settled(a);
                progress.update([&](BatchCounts& c) { c = out.counts; });
            }
            if (changeEnabled) {
                settle(a.enable,
                       network.setEnabled(server, a.target.user, r.enabledChoice == EnabledChoice::Enable),
                       out.counts.enable);
                progress.update([&](BatchCounts& c) { c = out.counts; });
            }
            if (r.rename) {
                settle(a.rename, network.rename(server, a.target.user, r.newName), out.counts.rename);
                progress.update([&](BatchCounts& c) { c = out.counts; });
            }
        }
        a.processed = true;
        // A batch that can no longer keep its record stops as a cancelled one.
        if (journal && !journal->record(a)) {
            out.cancelled = true;
            break;
        }
    }
    // A cancel that came with the last account still marks the batch.
    out.cancelled = out.cancelled || cancel.cancelled();
    return out;
}

} // namespace rm
