#include "cli/CliProgram.h"

#include "cli/ApplyCommand.h"
#include "cli/CliOptions.h"
#include "cli/ConsoleFace.h"
#include "cli/Formats.h"
#include "cli/Interruption.h"
#include "cli/RevealCommand.h"
#include "cli/SearchCommand.h"
#include "cli/Terminal.h"

#include <ostream>

namespace rm {
namespace {

// The account --as names, its password from a descriptor or the terminal.
// An empty one is refused: the network calls would act with whatever
// Kerberos ticket there is instead of the account named.
ConsolePlatform::AskCredentials asker(const LogonArgs& logon)
{
    return [logon](std::string& account, Secret& password) {
        if (logon.account.empty())
            return false;
        account = logon.account;
        const std::string what = "the password of " + logon.account;
        if (logon.passwordFd >= 0) {
            password = readSecretLine(logon.passwordFd, what, true);
        } else {
            std::optional<Secret> typed = askSecret("Password for " + logon.account + ": ", what);
            if (!typed)
                throw UsageError("no terminal to ask the password of " + logon.account
                                 + " on: give --as-password-fd N");
            password = std::move(*typed);
        }
        if (password.empty())
            throw UsageError(what + " is empty: --as needs the account's password");
        return true;
    };
}

} // namespace

void requireCredentials(CurrentIdentity& identity)
{
    if (!identity.ensureCredentials())
        throw UsageError("no Kerberos ticket and no account to act as: run kinit, or give --as DOMAIN\\user "
                         "(password from the terminal or --as-password-fd N)");
}

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           const ConsolePlatform::Maker& makePlatform)
{
    try {
        const CommandLine command = parseCommandLine(args);
        if (command.kind == CommandLine::Kind::Help) {
            out << command.helpText;
            return ExitDone;
        }
        if (command.kind == CommandLine::Kind::Reveal) {
            // Nothing reaches the network: no credentials, and no batch is
            // recovered by a command that only reads.
            const auto platform = makePlatform([](std::string&, Secret&) { return false; }, false);
            return runReveal(command.reveal, *platform, in, out, err);
        }
        ConsoleFace face;
        const LogonArgs& logon =
            command.kind == CommandLine::Kind::Search ? command.search.logon : command.apply.logon;
        const std::unique_ptr<ConsolePlatform> platform = makePlatform(asker(logon), !logon.account.empty());
        if (logon.refuseNtlm)
            platform->refuseNtlm(true);
        // What a batch killed part-way left, before anything new is done.
        recoverEarlierBatches(logFolder(command.kind == CommandLine::Kind::Apply ? command.apply.logFolder : ""),
                              *platform, err);
        if (command.kind == CommandLine::Kind::Search)
            return runSearch(command.search, *platform, face, in, out, err);
        return runApply(command.apply, *platform, face, in, out, err);
    } catch (const UsageError& e) {
        err << "rostermill-cli: " << terminalText(e.what()) << std::endl;
        return ExitUsage;
    } catch (const Interrupted& interrupted) {
        err << "rostermill-cli: interrupted, nothing done" << std::endl;
        return 128 + interrupted.signal;
    }
}

} // namespace rm
