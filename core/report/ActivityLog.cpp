#include "core/report/ActivityLog.h"

#include "core/batch/NetErrorText.h"
#include "core/passwords/PasswordRecord.h"
#include "core/ports/LocalTime.h"
#include "core/report/ComputerCells.h"
#include "core/report/EnglishTime.h"

#include <algorithm>

namespace rm {
namespace {

// The action's cell: "Yes" or the new value on success, else the failure
// text, which is empty for an account the batch never reached.
std::string outcome(const ActionOutcome& action, const std::string& success)
{
    if (action.succeeded())
        return success;
    return action.failed() ? netErrorText(action.status) : std::string();
}

// The encrypted password and, once its set ended, how; as the record file
// holds them, so that the way back reads either.
std::string sealedCell(const AccountOutcome& a)
{
    if (a.sealedPassword.empty())
        return {};
    if (!a.password.attempted)
        return a.sealedPassword;
    const RecordState state = a.password.succeeded() ? RecordState::Set : RecordState::Failed;
    return a.sealedPassword + "\n" + recordMarkerLine(state, a.target.computer, a.target.user);
}

} // namespace

std::string activityLogTime(std::time_t time)
{
    return formatEnglishTime(localTime(time), "%a %d-%b-%Y %I:%M:%S %p");
}

ActivityLogTable activityLogTable(const BatchOutcome& batch)
{
    ActivityLogTable table;
    if (batch.accounts.empty())
        return table;
    table.columns = {"Time", "Computer"};
    if (batch.rename)
        table.columns.insert(table.columns.end(), {"Old User Name", "New User Name"});
    else
        table.columns.push_back("User Name");
    if (batch.changePassword)
        table.columns.push_back("Changed Password?");
    const bool sealed = std::any_of(batch.accounts.begin(), batch.accounts.end(),
                                    [](const AccountOutcome& a) { return !a.sealedPassword.empty(); });
    if (sealed)
        table.columns.push_back("Generated Password (encrypted)");
    table.columns.insert(table.columns.end(), {"Account Enabled", "Local Groups"});

    const std::string enabledTo = yesNo(batch.enabledChoice == EnabledChoice::Enable);
    for (const AccountOutcome& a : batch.accounts) {
        ReportRow& row = table.rows.emplace_back();
        row = {activityLogTime(a.time), a.target.computer, a.target.user};
        if (batch.rename)
            row.push_back(outcome(a.rename, batch.newName));
        // Never the password itself: whether it changed, or why not.
        if (batch.changePassword)
            row.push_back(outcome(a.password, "Yes"));
        if (sealed)
            row.push_back(sealedCell(a));
        row.push_back(a.enable.requested ? outcome(a.enable, enabledTo)
                                         : a.target.enabled ? yesNo(*a.target.enabled) : std::string());
        row.push_back(groupsText(a.target.groups));
    }
    return table;
}

HtmlReport activityLog(const BatchOutcome& batch, std::time_t created)
{
    ActivityLogTable table = activityLogTable(batch);
    return HtmlReport(std::move(table.columns), std::move(table.rows), "Log", "Rostermill Activity Log", created);
}

} // namespace rm
