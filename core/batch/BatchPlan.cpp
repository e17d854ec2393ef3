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

// What generated passwords are drawn from and encrypted to; else why the
// batch must not run.
std::variant<BatchPlan::Generation, Refusal> generation(const GeneratedPasswords& g, RecordCipher* cipher)
{
    const std::string lost = "The generated passwords would be lost: ";
    if (!g.options.saveToFile && !g.options.saveToLog)
        return refusal(lost + "neither \"Save passwords in separate text file\" nor \"Save passwords in the regular "
                              "log file\" is chosen.");
    const std::vector<std::string> recipients = recipientList(g.options.recipients);
    if (recipients.empty())
        return refusal(lost + "no recipient is named to encrypt them to.");
    if (!cipher)
        return refusal(lost + "there is no way to encrypt them here.");
    RecordCipher::Keys keys = cipher->resolve(recipients);
    if (!keys.refusal.empty())
        return refusal(lost + keys.refusal + ".");
    auto recipe = PasswordRecipe::make(g.options, g.words, g.length);
    if (const auto* no = std::get_if<PasswordRecipe::Refusal>(&recipe))
        return refusal("No password can be generated: " + no->reason + ".");
    return BatchPlan::Generation{std::move(std::get<PasswordRecipe>(recipe)), std::move(keys.fingerprints)};
}

} // namespace

std::vector<std::string> recipientList(const std::string& text)
{
    // Blanks part nothing: a fingerprint may be written in groups.
    std::vector<std::string> out;
    std::string current;
    for (char c : text + ",") {
        if (c == ',' || c == ';' || c == '\n') {
            const std::size_t first = current.find_first_not_of(" \t\r");
            if (first != std::string::npos)
                out.push_back(current.substr(first, current.find_last_not_of(" \t\r") - first + 1));
            current.clear();
        } else {
            current += c;
        }
    }
    return out;
}

std::string confirmationText(const BatchRequest& request)
{
    const std::string bullet = "\xC2\xB7 "; // a middle dot and a blank
    std::string text = "The following actions will be performed on each selected user:\n\n";
    if (request.rename)
        text += bullet + "Rename the user to \"" + request.newName + "\"\n";
    if (request.changePassword && request.generated)
        text += bullet + "Set a unique generated password for each of " + std::to_string(request.targets.size())
            + " accounts\n";
    else if (request.changePassword)
        text += bullet + "Change the associated password\n";
    if (request.enabledChoice == EnabledChoice::Enable)
        text += bullet + "Enable the account\n";
    if (request.enabledChoice == EnabledChoice::Disable)
        text += bullet + "Disable the account\n";
    return text + "\nDo you wish to continue?";
}

std::variant<BatchPlan, Refusal> plan(BatchRequest request, RecordCipher* cipher)
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
    if (!r.generated && r.changePassword && !r.verification.matches(r.password))
        return refusal("The two passwords do not match. Please re-enter the passwords.");
    std::optional<BatchPlan::Generation> generated;
    if (r.changePassword && r.generated) {
        auto made = generation(*r.generated, cipher);
        if (auto* no = std::get_if<Refusal>(&made))
            return std::move(*no);
        generated = std::move(std::get<BatchPlan::Generation>(made));
    }

    std::vector<Question> questions;
    if (r.changePassword && !r.generated && r.password.empty())
        questions.push_back({Question::Kind::EmptyPassword,
                             {"Security Warning",
                              "You have specified an empty password.  This will remove the password from the selected "
                              "accounts, which is potentially very dangerous.  Are you sure you want to do this?",
                              MessageButtons::YesNo, MessageIcon::Exclamation}});
    questions.push_back({Question::Kind::Confirmation,
                         {"Perform Operation", confirmationText(r), MessageButtons::YesNo, MessageIcon::Question}});
    BatchPlan planned(std::move(request), std::move(questions));
    if (generated)
        planned.setGeneration(std::move(*generated));
    return planned;
}

} // namespace rm
