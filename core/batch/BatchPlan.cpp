#include "core/batch/BatchPlan.h"

#include <map>
#include <optional>

namespace rm {
namespace {

Refusal refusal(std::string text)
{
    return {{"Error", std::move(text), MessageButtons::Ok, MessageIcon::Stop}};
}

// The first two selected rows of one computer with different users, or nothing.
std::optional<std::string> sameMachineConflict(const std::vector<BatchTarget>& targets)
{
    std::map<std::string, std::string> firstUser;
    for (const BatchTarget& t : targets) {
        auto [it, inserted] = firstUser.emplace(t.computer, t.user);
        if (!inserted && it->second != t.user)
            return "Multiple users (\"" + it->second + "\" and \"" + t.user + "\") are selected on the same machine (\""
                + t.computer + "\").  You cannot rename multiple users on the same machine to the same name.";
    }
    return std::nullopt;
}

} // namespace

std::string confirmationText(const BatchRequest& request)
{
    const std::string bullet = "\xC2\xB7 "; // a middle dot and a blank
    std::string text = "The following actions will be performed on each selected user:\n\n";
    if (request.rename)
        text += bullet + "Rename the user to \"" + request.newName + "\"\n";
    if (request.changePassword)
        text += bullet + "Change the associated password\n";
    if (request.enabledChoice == EnabledChoice::Enable)
        text += bullet + "Enable the account\n";
    if (request.enabledChoice == EnabledChoice::Disable)
        text += bullet + "Disable the account\n";
    return text + "\nDo you wish to continue?";
}

std::variant<BatchPlan, Refusal> plan(BatchRequest request)
{
    const BatchRequest& r = request;
    if (r.targets.empty())
        return refusal("You must select one or more computers.");
    if (!r.rename && !r.changePassword && r.enabledChoice == EnabledChoice::Keep)
        return refusal("You must specify one or more actions to perform.");
    if (r.rename && r.newName.empty())
        return refusal("You must specify a new username when changing the username.");
    // One row per computer in user mode: only a group's members can share one.
    if (r.groupMode && r.rename)
        if (auto conflict = sameMachineConflict(r.targets))
            return refusal(*conflict);
    if (r.changePassword && !r.verification.matches(r.password))
        return refusal("The two passwords do not match. Please re-enter the passwords.");

    std::vector<Question> questions;
    if (r.changePassword && r.password.empty())
        questions.push_back({Question::Kind::EmptyPassword,
                             {"Security Warning",
                              "You have specified an empty password.  This will remove the password from the selected "
                              "accounts, which is potentially very dangerous.  Are you sure you want to do this?",
                              MessageButtons::YesNo, MessageIcon::Exclamation}});
    questions.push_back({Question::Kind::Confirmation,
                         {"Perform Operation", confirmationText(r), MessageButtons::YesNo, MessageIcon::Question}});
    return BatchPlan(std::move(request), std::move(questions));
}

} // namespace rm
