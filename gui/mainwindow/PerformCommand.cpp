// "&Perform and Log Actions": the requested actions on the selected rows.
#include "core/batch/BatchPlan.h"
#include "core/jobs/Job.h"
#include "core/passwords/Dictionary.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"

namespace rm {

BatchRequest MainWindowController::batchRequest(const std::vector<int>& rows) const
{
    const DialogControls& c = s_.controls;
    BatchRequest r;
    for (int row : rows) {
        const ComputerRow& listed = s_.list.row(row);
        BatchTarget& t = r.targets.emplace_back();
        t.computer = listed.computer.name;
        if (listed.account) {
            t.user = listed.account->user;
            t.enabled = listed.account->enabled;
            t.groups = listed.account->groups;
        }
    }
    r.rename = c.isChecked(IdChangeUsername);
    r.newName = c.text(IdNewUserName);
    r.changePassword = c.isChecked(IdChangePassword);
    if (r.changePassword && c.isChecked(IdGenerateUnique)) {
        GeneratedPasswords& g = r.generated.emplace();
        g.options = passwordOptions_;
        g.options.generateUnique = true;
        // A bounded read of a local file, as the options dialog does.
        if (!g.options.passwords)
            g.words = loadDictionary(s_.files, g.options.dictionaryFile);
    } else if (r.changePassword) {
        r.password = Secret(c.text(IdPassword));
        r.verification = Secret(c.text(IdVerifyPassword));
    }
    r.enabledChoice = c.isChecked(IdEnableAccount)    ? EnabledChoice::Enable
                      : c.isChecked(IdDisableAccount) ? EnabledChoice::Disable
                                                      : EnabledChoice::Keep;
    r.groupMode = c.isChecked(IdGroupMode);
    return r;
}

void MainWindowController::performCommand()
{
    const std::vector<int> rows = selectedRows(s_.list);
    BatchRequest request = batchRequest(rows);
    std::optional<std::variant<BatchPlan, Refusal>> checked;
    if (request.generated) {
        // Finding the recipients' keys runs GnuPG: not on the window's
        // thread, which keeps painting meanwhile.
        Job keys([&](const CancelToken&) { checked.emplace(plan(std::move(request), &s_.cipher)); });
        keys.start(s_.ui, {});
        s_.dialogs.waitUntil([&keys] { return keys.hasEnded(); });
    } else {
        checked.emplace(plan(std::move(request), &s_.cipher));
    }
    auto& planned = *checked;
    if (const auto* refusal = std::get_if<Refusal>(&planned)) {
        s_.prompter.show(refusal->message);
        return;
    }
    const BatchPlan& batch = std::get<BatchPlan>(planned);
    for (const Question& question : batch.questions())
        if (s_.prompter.show(question.message) != MessageAnswer::Yes)
            return;
    const std::time_t confirmed = s_.clock.now();
    s_.identity.ensureCredentials();
    const std::optional<BatchOutcome> ran = s_.dialogs.runBatch(batch, confirmed);
    if (!ran)
        return;
    const BatchOutcome& outcome = *ran;

    // The outcome back into the rows it came from.
    for (std::size_t i = 0; i < outcome.accounts.size(); ++i) {
        const AccountOutcome& a = outcome.accounts[i];
        const int row = rows[i];
        if (!a.processed || row >= s_.list.rowCount() || !s_.list.row(row).account)
            continue;
        AccountInfo account = *s_.list.row(row).account;
        if (a.rename.succeeded())
            account.user = outcome.newName;
        if (a.enable.succeeded())
            account.enabled = outcome.enabledChoice == EnabledChoice::Enable;
        s_.list.setAccount(row, account);
    }
    s_.dialogs.writeActivityLog(outcome);
}

} // namespace rm
