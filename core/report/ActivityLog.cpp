#include "core/report/ActivityLog.h"

#include "core/ports/LocalTime.h"
#include "core/report/HtmlReport.h"
#include "core/report/EnglishTime.h"

namespace rm {
namespace {

// The action's cell: "Yes" or the new value on success, else the failure
// text, which is empty for an operation the batch never reached.
std::string outcome(bool succeeded, const std::string& success, const std::string& error)
{
    return succeeded ? success : error;
}

} // namespace

std::string activityLogTime(std::time_t time)
{
    return formatEnglishTime(localTime(time), "%a %d-%b-%Y %I:%M:%S %p");
}

ActivityLogTable activityLogTable(const std::vector<AccountOperation>& operations)
{
    ActivityLogTable table;
    if (operations.empty())
        return table;
    const bool rename = operations.front().renameRequested;
    const bool password = operations.front().passwordRequested;
    table.columns = {"Time", "Computer"};
    if (rename)
        table.columns.insert(table.columns.end(), {"Old User Name", "New User Name"});
    else
        table.columns.push_back("User Name");
    if (password)
        table.columns.push_back("Changed Password?");
    table.columns.insert(table.columns.end(), {"Account Enabled", "Local Groups"});

    for (const AccountOperation& op : operations) {
        std::vector<std::string>& row = table.rows.emplace_back();
        row = {activityLogTime(op.time), op.computerName, op.userName};
        if (rename)
            row.push_back(outcome(op.renameSucceeded, op.newUserName, op.renameError));
        // Never the password itself: whether it changed, or why not.
        if (password)
            row.push_back(outcome(op.passwordSucceeded, "Yes", op.passwordError));
        row.push_back(op.enableRequested ? outcome(op.enableSucceeded, op.enable ? "Yes" : "No", op.enableError)
                                         : op.enabledText);
        row.push_back(op.groupsText);
    }
    return table;
}

void writeActivityLog(const std::vector<AccountOperation>& operations, ReportServices owner,
                      const std::string& folder)
{
    ActivityLogTable table = activityLogTable(operations);
    HtmlReport log(owner, std::move(table.columns), std::move(table.rows), "Log", "Rostermill Activity Log");
    if (!folder.empty())
        log.setFolder(folder);
    if (log.write())
        log.openInBrowser(false);
}

} // namespace rm
