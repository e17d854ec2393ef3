#include "cli/BatchReport.h"

#include "cli/Formats.h"
#include "core/batch/NetErrorText.h"
#include "core/ports/Text.h"

#include <functional>
#include <unordered_set>

namespace rm {
namespace {

constexpr std::size_t Listed = 20;

std::string target(const BatchTarget& t)
{
    return terminalText(t.computer + "\\" + t.user);
}

std::string counted(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "N accounts on M computers:", then a line of each of the first ones
// and how many more there are.
std::string listed(const std::vector<BatchTarget>& targets, const std::function<std::string(const BatchTarget&)>& line)
{
    std::unordered_set<std::string> computers;
    for (const BatchTarget& t : targets)
        computers.insert(foldedAscii(t.computer));
    std::string out = counted(targets.size(), "account", "accounts") + " on "
        + counted(computers.size(), "computer", "computers") + ":\n";
    for (std::size_t i = 0; i < targets.size() && i < Listed; ++i)
        out += line(targets[i]) + "\n";
    if (targets.size() > Listed)
        out += "and " + std::to_string(targets.size() - Listed) + " more\n";
    return out;
}

std::string enableWord(EnabledChoice choice)
{
    return choice == EnabledChoice::Enable ? "enable" : "disable";
}

std::string joined(const std::vector<std::string>& parts, const char* between, const char* last)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i ? (i + 1 == parts.size() ? last : between) : "") + parts[i];
    return text;
}

} // namespace

std::string outcomeText(const BatchOutcome& outcome)
{
    std::string out;
    for (const AccountOutcome& a : outcome.accounts) {
        std::vector<std::string> parts;
        if (!a.processed) {
            parts.push_back("not reached (cancelled)");
        } else {
            // In the order the batch applies them.
            if (a.password.requested)
                parts.push_back(a.password.succeeded() ? "password set" : "password: " + netErrorText(a.password.status));
            if (a.enable.requested)
                parts.push_back(a.enable.succeeded()
                                    ? (outcome.enabledChoice == EnabledChoice::Enable ? "enabled" : "disabled")
                                    : enableWord(outcome.enabledChoice) + ": " + netErrorText(a.enable.status));
            if (a.rename.requested)
                parts.push_back(a.rename.succeeded() ? "renamed to \"" + terminalText(outcome.newName) + "\""
                                                     : "rename: " + netErrorText(a.rename.status));
        }
        out += target(a.target) + ": " + joined(parts, "; ", "; ") + "\n";
    }
    return out;
}

std::string planText(const BatchPlan& plan)
{
    const BatchRequest& r = plan.request();
    std::vector<std::string> parts;
    if (r.changePassword && plan.generation())
        parts.push_back("set a generated password of "
                        + std::to_string(static_cast<int>(plan.generation()->recipe.entropyBits())) + " bits");
    else if (r.changePassword)
        parts.push_back("set the password");
    if (r.enabledChoice != EnabledChoice::Keep)
        parts.push_back(enableWord(r.enabledChoice) + " the account");
    if (r.rename)
        parts.push_back("rename it to \"" + terminalText(r.newName) + "\"");
    const std::string actions = "would " + joined(parts, ", ", " and ");
    return listed(r.targets, [&](const BatchTarget& t) { return target(t) + ": " + actions; });
}

std::string targetsText(const std::vector<BatchTarget>& targets)
{
    return listed(targets, [](const BatchTarget& t) { return "  " + target(t); });
}

std::string totalsText(const BatchCounts& c, bool cancelled)
{
    TextRows rows{{"", "Rename User:", "Change Password:", "Enable/Disable:"}};
    const std::pair<const char*, int BatchCounts::Count::*> lines[] = {
        {"Succeeded:", &BatchCounts::Count::succeeded},
        {"Failed:", &BatchCounts::Count::failed},
        {"Total:", &BatchCounts::Count::total}};
    for (const auto& [label, count] : lines)
        rows.push_back({label, std::to_string(c.rename.*count), std::to_string(c.password.*count),
                        std::to_string(c.enable.*count)});
    return alignedTable(rows, false) + (cancelled ? "Operation Cancelled." : "Operation Completed.") + "\n";
}

} // namespace rm
