#include "cli/ApplyRun.h"

#include "cli/ApplyTargets.h"
#include "cli/CliDialogs.h"
#include "cli/CliProgram.h"
#include "cli/ConsolePrompter.h"
#include "cli/ConsoleWindow.h"
#include "cli/InputText.h"
#include "cli/Terminal.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "core/batch/ActionValidation.h"
#include "core/ports/Text.h"
#include "core/ports/Wipe.h"
#include "adapters/linux/SecretsProtection.h"

#include <ostream>
#include <unistd.h>

namespace rm {
namespace {

ApplyTargets readTargets(const ApplyArgs& args, std::istream& in, bool passwordFromStandardInput)
{
    ApplyTargets targets;
    if (!args.targets.empty()) {
        for (const std::string& t : args.targets)
            targets.rows.push_back(parseTarget(t, args.user));
    } else {
        const std::string source = args.targetsFile.empty() && ::isatty(STDIN_FILENO) != 1 ? "-" : args.targetsFile;
        if (source.empty())
            throw UsageError("no targets: give COMPUTER\\ACCOUNT arguments, --targets FILE, or pipe them in");
        if (source == "-" && passwordFromStandardInput)
            throw UsageError("standard input cannot carry both the targets and a password: use another descriptor");
        targets = parseTargets(readInputText(source, in), args.user);
    }
    settleTargets(targets);
    if (targets.rows.empty())
        throw UsageError("no targets: the list given is empty");
    // Two accounts of one computer are a group's members, whatever the source.
    for (std::size_t i = 0; i < targets.rows.size(); ++i)
        for (std::size_t k = 0; k < i; ++k)
            if (equalsIgnoringCase(targets.rows[i].computerName, targets.rows[k].computerName))
                targets.groupMode = true;
    return targets;
}

// The new password and its verification, as the two edits hold them.
void readNewPassword(const ApplyArgs& args, std::string& password, std::string& verification)
{
    if (args.passwordFd >= 0) {
        password = readSecretLine(args.passwordFd, "the new password");
        verification = password;
    } else if (::isatty(STDIN_FILENO) == 1) {
        auto first = askTerminal("New password: ", true);
        auto second = first ? askTerminal("Retype new password: ", true) : std::nullopt;
        if (!first || !second)
            throw UsageError("no new password was typed");
        password.swap(*first);
        verification.swap(*second);
    } else {
        password = readSecretLine(STDIN_FILENO, "the new password");
        verification = password;
    }
}

} // namespace

int runApply(const ApplyArgs& args, CliPlatform& p, std::istream& in, std::ostream& out, std::ostream& err)
{
    const bool passwordFromStandardInput = (args.setPassword && (args.passwordFd < 0 || args.passwordFd == STDIN_FILENO))
        || args.logon.passwordFd == STDIN_FILENO;
    ApplyTargets targets = readTargets(args, in, passwordFromStandardInput);
    const bool terminal = hasTerminal();
    if (!args.dryRun && !args.yes && !terminal)
        throw UsageError("--yes is needed to change accounts without a terminal to confirm on");

    // --yes confirms the batch; an empty password is a question of its own
    // that a script answers only with --allow-empty-password.
    std::set<std::string> answeredYes;
    if (args.yes || args.dryRun)
        answeredYes.insert(ConfirmationTitle);
    if (args.allowEmptyPassword || args.dryRun)
        answeredYes.insert(EmptyPasswordTitle);
    ConsolePrompter prompter(err, answeredYes, terminal);
    ConsoleProgress progress(err, ::isatty(STDERR_FILENO) == 1);
    CliDialogs::Settings settings;
    settings.dryRun = args.dryRun;
    settings.logFolder = args.logFolder;
    settings.out = &out;
    CliDialogs dialogs({p.network, p.identity, p.directory, p.resolver, p.icmp, p.threads, p.clock, p.probe, prompter,
                        {prompter, p.chooser, p.files, p.shell, p.wallClock}, err},
                       settings, progress);
    ConsoleWindow window(p.settings, prompter, dialogs, p.identity);
    MemoryDialogControls& c = window.controls;

    if (args.setPassword) {
        keepSecretsFromOtherProcesses();
        std::string password, verification;
        readNewPassword(args, password, verification);
        c.setChecked(IdChangePassword, true);
        c.setText(IdPassword, password);
        c.setText(IdVerifyPassword, verification);
        wipe(password);
        wipe(verification);
    }
    if (args.newName) {
        c.setChecked(IdChangeUsername, true);
        c.setText(IdNewUserName, *args.newName);
    }
    c.setChecked(args.enabled == EnabledChoice::Enable    ? IdEnableAccount
                 : args.enabled == EnabledChoice::Disable ? IdDisableAccount
                                                          : IdKeepEnabledState,
                 true);
    c.setChecked(targets.groupMode ? IdGroupMode : IdUserMode, true);
    for (const SelectedRow& r : targets.rows) {
        const int row = window.list.rowCount();
        window.list.insertRow(row, r.computerName);
        window.list.setCellText(row, CellUser, r.userName);
        window.list.setCellText(row, CellEnabled, r.enabledText);
        window.list.setCellText(row, CellGroups, r.groupsText);
        window.list.setSelected(row, true);
    }
    if (!args.dryRun)
        p.requireCredentials();

    window.controller.performCommand();
    progress.clear();

    if (!prompter.errorText().empty())
        throw UsageError(prompter.errorText());
    if (!prompter.declined().empty()) {
        err << "nothing done: \"" << prompter.declined() << "\" was answered no" << std::endl;
        return ExitSomeFailed;
    }
    if (args.dryRun)
        return ExitDone;
    const auto& totals = dialogs.totals();
    if (!totals)
        return ExitSomeFailed;
    out << "\n" << totalsText(*totals);
    if (!p.shell.opened().empty())
        out << "Activity log: " << p.shell.opened() << "\n";
    out.flush();
    return totals->failed() > 0 || totals->cancelled || p.shell.opened().empty() ? ExitSomeFailed : ExitDone;
}

} // namespace rm
