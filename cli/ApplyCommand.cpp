#include "cli/ApplyCommand.h"

#include "cli/ApplyTargets.h"
#include "cli/BatchReport.h"
#include "cli/CliProgram.h"
#include "cli/ConsoleProgress.h"
#include "cli/Formats.h"
#include "cli/InputText.h"
#include "cli/Notices.h"
#include "cli/Terminal.h"
#include "core/batch/Batch.h"
#include "core/passwords/Dictionary.h"
#include "core/report/BatchRecord.h"
#include "core/report/FileErrorText.h"

#include <cstdlib>
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
        const std::string text = readInputText(source, in);
        try {
            targets = parseTargets(text, args.user);
        } catch (const UsageError& e) {
            throw UsageError((source == "-" ? std::string("standard input") : source) + ", " + e.what());
        }
    }
    settleTargets(targets);
    if (targets.rows.empty())
        throw UsageError("no targets: the list given is empty");
    return targets;
}

// The new password and its verification, as the window's two edits hold them.
void readNewPassword(const ApplyArgs& args, BatchRequest& request)
{
    if (args.passwordFd >= 0) {
        // A descriptor that also carries the --as password stays for it.
        const bool last = args.passwordFd != args.logon.passwordFd;
        request.password = readSecretLine(args.passwordFd, "the new password", last);
        request.verification = Secret::copyOf(request.password.reveal());
    } else if (::isatty(STDIN_FILENO) == 1) {
        std::optional<Secret> first = askSecret("New password: ", "the new password");
        std::optional<Secret> second = first ? askSecret("Retype new password: ", "the new password") : std::nullopt;
        if (!first || !second)
            throw UsageError("no new password was typed");
        request.password = std::move(*first);
        request.verification = std::move(*second);
    } else {
        request.password = readSecretLine(STDIN_FILENO, "the new password", false);
        request.verification = Secret::copyOf(request.password.reveal());
    }
}

// A question of the plan: --yes confirms the batch; an empty password is a
// question of its own that a script answers only with --allow-empty-password;
// a dry run answers both. Others are asked on the terminal, else answered no.
bool answeredYes(const Question& question, const BatchPlan& batch, const ApplyArgs& args, bool terminal)
{
    if (args.dryRun)
        return true;
    if (question.kind == Question::Kind::Confirmation && args.yes)
        return true;
    if (question.kind == Question::Kind::EmptyPassword && args.allowEmptyPassword)
        return true;
    if (!terminal)
        return false;
    std::string asked = question.message.title + "\n" + question.message.text;
    if (question.kind == Question::Kind::Confirmation)
        asked += "\n" + targetsText(batch.request().targets);
    const auto answer = askTerminal(asked + " [y/N] ");
    return answer && !answer->empty() && (answer->front() == 'y' || answer->front() == 'Y');
}

// The batch's activity log, made from its journal, under its default name
// in `folder`; then the journal goes. Its path, or nothing when it could not
// be written (and said so).
std::optional<std::string> writeLog(const std::string& folder, BatchJournal& journal, const BatchOutcome& outcome,
                                    const std::string& passwordRecord, ConsolePlatform& platform, std::ostream& err)
{
    const HtmlReport log = finishedLog(&journal, outcome, platform.clock().now(), passwordRecord);
    const std::string path = pathIn(folder, log.defaultFileName());
    const FileFailure failure = platform.files().replaceFile(path, log.fileContents());
    if (failure != FileFailure::None) {
        err << "Rostermill: " << oneLine(fileErrorText(failure, path)) << std::endl;
        return std::nullopt;
    }
    // The batch stopped there; the log, made from what it did, is the record.
    if (journal.failure() != FileFailure::None)
        err << "Rostermill: " << oneLine(fileErrorText(journal.failure(), journal.file().path())) << std::endl;
    journal.file().remove();
    return path;
}

// The request the flags and the targets make, the new password read.
BatchRequest requestFor(const ApplyArgs& args, ApplyTargets targets, ConsolePlatform& platform)
{
    BatchRequest request;
    request.targets = std::move(targets.rows);
    request.groupMode = targets.groupMode;
    if (args.generateUnique) {
        platform.protectSecrets();
        request.changePassword = true;
        GeneratedPasswords generated = generatedFor(args, platform.settings().loadPasswordOptions());
        if (!generated.options.passwords) {
            generated.words = loadDictionary(platform.reader(), generated.options.dictionaryFile);
            if (generated.words.empty())
                throw UsageError("the dictionary file \"" + generated.options.dictionaryFile
                                 + "\" cannot be read or holds no word");
        }
        request.generated = std::move(generated);
    } else if (args.setPassword) {
        platform.protectSecrets();
        request.changePassword = true;
        readNewPassword(args, request);
    }
    if (args.newName) {
        request.rename = true;
        request.newName = *args.newName;
    }
    request.enabledChoice = args.enabled;
    return request;
}

} // namespace

std::string logFolder(const std::string& given)
{
    if (!given.empty() || ::access(".", W_OK) == 0)
        return given;
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

void recoverEarlierBatches(const std::string& folder, ConsolePlatform& platform, std::ostream& err)
{
    const std::time_t now = platform.clock().now();
    for (const FoundJournal& f : recoverJournals(platform.journals(), platform.files(), folder, now)) {
        if (f.refusal)
            err << "rostermill-cli: " << terminalText(f.journal) << " is not a batch journal this program can read"
                << (f.refusal->line ? " (line " + std::to_string(f.refusal->line) + ": " : " (") << f.refusal->reason
                << "); it is left as it is" << std::endl;
        else if (!f.logWritten())
            err << "rostermill-cli: " << oneLine(fileErrorText(f.failure, f.log)) << std::endl;
        else
            err << "rostermill-cli: " << (f.interrupted ? "a batch that did not finish" : "an earlier batch")
                << " left its activity log: " << terminalText(f.log) << std::endl;
    }
}

int runApply(const ApplyArgs& args, ConsolePlatform& platform, ConsoleFace& face, std::istream& in,
             std::ostream& out, std::ostream& err)
{
    const bool passwordFromStandardInput =
        (args.setPassword && (args.passwordFd < 0 || args.passwordFd == STDIN_FILENO))
        || args.logon.passwordFd == STDIN_FILENO;
    ApplyTargets targets = readTargets(args, in, passwordFromStandardInput);
    const bool terminal = hasTerminal();
    if (!args.dryRun && !args.yes && !terminal)
        throw UsageError("--yes is needed to change accounts without a terminal to confirm on");
    BatchRequest request = requestFor(args, std::move(targets), platform);
    const SearchServices services = platform.search();
    if (!args.dryRun)
        requireCredentials(services.identity);

    auto planned = plan(std::move(request), &platform.cipher());
    if (const auto* refusal = std::get_if<Refusal>(&planned))
        throw UsageError(oneLine(refusal->message.text));
    const BatchPlan& batch = std::get<BatchPlan>(planned);
    for (const Question& question : batch.questions()) {
        if (!answeredYes(question, batch, args, terminal)) {
            err << "nothing done: \"" << question.message.title << "\" was answered no" << std::endl;
            return ExitSomeFailed;
        }
    }
    if (args.dryRun) {
        out << planText(batch);
        return ExitDone;
    }
    if (args.yes)
        err << "Acting on " << targetsText(batch.request().targets) << std::flush;
    const std::time_t confirmed = platform.clock().now();
    // No account is changed without a journal to say so.
    const std::string folder = logFolder(args.logFolder);
    const StartedJournal started = startJournal(platform.journals(), folder, batch.request(), confirmed);
    if (!started.journal) {
        err << "rostermill-cli: nothing done: " << oneLine(fileErrorText(started.failure, started.path)) << std::endl;
        return ExitSomeFailed;
    }
    BatchJournal* const journal = started.journal.get();
    const StartedKeeper keeper =
        startPasswordKeeper(batch, platform.journals(), started, platform.random(), platform.cipher());
    if (batch.generation() && !keeper.keeper) {
        err << "rostermill-cli: nothing done: " << oneLine(keeper.failure) << std::endl;
        journal->file().remove();
        return ExitSomeFailed;
    }
    BatchOutcome outcome;
    {
        ConsoleProgress shown(err, ::isatty(STDERR_FILENO) == 1);
        const std::size_t accounts = batch.request().targets.size();
        Progress<BatchCounts> progress(face, [&](const BatchCounts& c) {
            const int done = c.rename.total + c.password.total + c.enable.total;
            shown.show("Working ... " + std::to_string(done) + " actions on " + std::to_string(accounts) + " accounts");
        });
        Job job([&](const CancelToken& cancel) {
            outcome = apply(batch, confirmed, services.network, progress, cancel, journal, keeper.keeper.get());
        });
        face.run(job);
    }
    if (keeper.keeper && !keeper.keeper->failure().empty())
        err << "rostermill-cli: the batch stopped: " << oneLine(keeper.keeper->failure()) << std::endl;
    out << outcomeText(outcome);
    const std::optional<std::string> log =
        writeLog(folder, *journal, outcome, keeper.keeper ? keeper.keeper->recordPath() : "", platform, err);
    out << "\n" << totalsText(outcome.counts, outcome.cancelled);
    if (log)
        out << "Activity log: " << *log << "\n";
    if (keeper.keeper && !keeper.keeper->recordPath().empty())
        out << "Password record: " << keeper.keeper->recordPath() << "\n";
    out.flush();
    return outcome.counts.failed() > 0 || outcome.cancelled || !log ? ExitSomeFailed : ExitDone;
}

} // namespace rm
