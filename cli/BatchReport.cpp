#include "cli/BatchReport.h"

#include "cli/Formats.h"

namespace rm {
namespace {

std::string target(const AccountOperation& op)
{
    return op.computerName + "\\" + op.userName;
}

std::string enableWord(const AccountOperation& op)
{
    return op.enable ? "enable" : "disable";
}

} // namespace

BatchTotals BatchTotals::of(const OperationCounters& c, bool cancelled)
{
    const auto n = [](const std::atomic<std::int32_t>& a) { return static_cast<int>(a.load()); };
    BatchTotals t;
    t.rename = {n(c.renameSucceeded), n(c.renameFailed), n(c.renameTotal)};
    t.password = {n(c.passwordSucceeded), n(c.passwordFailed), n(c.passwordTotal)};
    t.enable = {n(c.enableSucceeded), n(c.enableFailed), n(c.enableTotal)};
    t.cancelled = cancelled;
    return t;
}

std::string outcomeText(const std::vector<AccountOperation>& operations)
{
    std::string out;
    for (const AccountOperation& op : operations) {
        std::vector<std::string> parts;
        if (!op.processed) {
            parts.push_back("not reached (cancelled)");
        } else {
            // In the order the batch applies them.
            if (op.passwordRequested)
                parts.push_back(op.passwordSucceeded ? "password set" : "password: " + op.passwordError);
            if (op.enableRequested)
                parts.push_back(op.enableSucceeded ? (op.enable ? "enabled" : "disabled")
                                                   : enableWord(op) + ": " + op.enableError);
            if (op.renameRequested)
                parts.push_back(op.renameSucceeded ? "renamed to \"" + op.newUserName + "\""
                                                   : "rename: " + op.renameError);
        }
        std::string line = target(op) + ": ";
        for (std::size_t i = 0; i < parts.size(); ++i)
            line += (i ? "; " : "") + parts[i];
        out += line + "\n";
    }
    return out;
}

std::string planText(const std::vector<AccountOperation>& operations)
{
    std::string out;
    for (const AccountOperation& op : operations) {
        std::vector<std::string> parts;
        if (op.passwordRequested)
            parts.push_back("set the password");
        if (op.enableRequested)
            parts.push_back(enableWord(op) + " the account");
        if (op.renameRequested)
            parts.push_back("rename it to \"" + op.newUserName + "\"");
        std::string line = "would ";
        for (std::size_t i = 0; i < parts.size(); ++i)
            line += (i ? (i + 1 == parts.size() ? " and " : ", ") : "") + parts[i];
        out += target(op) + ": " + line + "\n";
    }
    return out;
}

std::string totalsText(const BatchTotals& t)
{
    TextRows rows{{"", "Rename User:", "Change Password:", "Enable/Disable:"}};
    const char* labels[] = {"Succeeded:", "Failed:", "Total:"};
    for (int k = 0; k < 3; ++k)
        rows.push_back({labels[k], std::to_string(t.rename[k]), std::to_string(t.password[k]),
                        std::to_string(t.enable[k])});
    return alignedTable(rows, false) + (t.cancelled ? "Operation Cancelled.\n" : "Operation Completed.\n");
}

} // namespace rm
