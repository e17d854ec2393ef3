#include "core/batch/ActionValidation.h"

#include <ctime>
#include <map>

namespace rm {
namespace {

void error(Prompter& prompter, const std::string& text)
{
    prompter.show({"Error", text, MessageButtons::Ok, MessageIcon::Stop});
}

// The first two selected rows of one computer with different users, or nothing.
std::optional<std::string> sameMachineConflict(const std::vector<SelectedRow>& selection)
{
    std::map<std::string, std::string> firstUser;
    for (const SelectedRow& row : selection) {
        auto [it, inserted] = firstUser.emplace(row.computerName, row.userName);
        if (!inserted && it->second != row.userName)
            return "Multiple users (\"" + it->second + "\" and \"" + row.userName
                + "\") are selected on the same machine (\"" + row.computerName
                + "\").  You cannot rename multiple users on the same machine to the same name.";
    }
    return std::nullopt;
}

} // namespace

std::string confirmationText(const ActionRequest& request)
{
    const std::string bullet = "\xC2\xB7 "; // a middle dot and a blank
    std::string text = "The following actions will be performed on each selected user:\n\n";
    if (request.renameRequested)
        text += bullet + "Rename the user to \"" + request.newUserName + "\"\n";
    if (request.passwordRequested)
        text += bullet + "Change the associated password\n";
    if (request.enabledChoice == EnabledChoice::Enable)
        text += bullet + "Enable the account\n";
    if (request.enabledChoice == EnabledChoice::Disable)
        text += bullet + "Disable the account\n";
    return text + "\nDo you wish to continue?";
}

std::optional<std::vector<AccountOperation>> validateAndConfirm(const ActionRequest& request,
                                                                const std::vector<SelectedRow>& selection,
                                                                Prompter& prompter)
{
    const ActionRequest& r = request;
    if (selection.empty()) {
        error(prompter, "You must select one or more computers.");
        return std::nullopt;
    }
    if (!r.renameRequested && !r.passwordRequested && r.enabledChoice == EnabledChoice::Keep) {
        error(prompter, "You must specify one or more actions to perform.");
        return std::nullopt;
    }
    if (r.renameRequested && r.newUserName.empty()) {
        error(prompter, "You must specify a new username when changing the username.");
        return std::nullopt;
    }
    // One row per computer in user mode: only a group's members can share one.
    if (r.groupMode && r.renameRequested) {
        if (auto conflict = sameMachineConflict(selection)) {
            error(prompter, *conflict);
            return std::nullopt;
        }
    }
    if (r.passwordRequested && r.verification != r.password) {
        error(prompter, "The two passwords do not match. Please re-enter the passwords.");
        return std::nullopt;
    }
    if (r.passwordRequested && r.password.empty()
        && prompter.show({EmptyPasswordTitle,
                          "You have specified an empty password.  This will remove the password from the selected "
                          "accounts, which is potentially very dangerous.  Are you sure you want to do this?",
                          MessageButtons::YesNo, MessageIcon::Exclamation})
               != MessageAnswer::Yes)
        return std::nullopt;
    if (prompter.show({ConfirmationTitle, confirmationText(r), MessageButtons::YesNo, MessageIcon::Question})
        != MessageAnswer::Yes)
        return std::nullopt;

    std::vector<AccountOperation> operations;
    operations.reserve(selection.size());
    for (const SelectedRow& row : selection) {
        // Built in place: a password is not left behind in moved-from copies.
        AccountOperation& op = operations.emplace_back();
        op.time = std::time(nullptr);
        op.computerName = row.computerName;
        op.rowIndex = row.rowIndex;
        op.userName = row.userName;
        op.newUserName = r.newUserName;
        op.enable = r.enabledChoice == EnabledChoice::Enable;
        op.password = r.password;
        op.enabledText = row.enabledText;
        op.groupsText = row.groupsText;
        op.renameRequested = r.renameRequested;
        op.passwordRequested = r.passwordRequested;
        op.enableRequested = r.enabledChoice != EnabledChoice::Keep;
    }
    return operations;
}

} // namespace rm
