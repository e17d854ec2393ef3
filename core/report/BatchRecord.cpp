#include "core/report/BatchRecord.h"

#include "core/report/ActivityLog.h"
#include "core/report/FileErrorText.h"

#include <algorithm>

namespace rm {
namespace {

constexpr std::string_view JournalEnd = ".journal";

bool endsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Only the names this program gives its journals: a user's other
// ".journal" files are none of its business.
bool isJournalName(const std::string& path)
{
    const std::string name = path.substr(path.find_last_of('/') + 1);
    return name.rfind("Log ", 0) == 0 && endsWith(name, ".html.journal");
}

} // namespace

std::string pathIn(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

StartedJournal startJournal(JournalFiles& files, const std::string& folder, const BatchRequest& request,
                            std::time_t confirmed)
{
    BatchOutcome shape;
    shape.rename = request.rename;
    shape.newName = request.newName;
    shape.changePassword = request.changePassword;
    shape.enabledChoice = request.enabledChoice;
    const std::string line = journalBatchLine(shape, confirmed);
    const std::string log = activityLog(shape, confirmed).defaultFileName();
    // Two batches confirmed in the same second beside each other get two names.
    StartedJournal started;
    for (int n = 1; n <= 9; ++n) {
        const std::string name =
            n == 1 ? log : log.substr(0, log.size() - 5) + " (" + std::to_string(n) + ").html";
        started.path = pathIn(folder, name + std::string(JournalEnd));
        if (auto file = files.create(started.path, line, started.failure)) {
            started.journal = std::make_unique<BatchJournal>(std::move(file));
            break;
        }
        if (started.failure != FileFailure::SharingViolation)
            break;
    }
    return started;
}

StartedKeeper startPasswordKeeper(const BatchPlan& plan, JournalFiles& files, const StartedJournal& journal,
                                  RandomSource& random, RecordCipher& cipher)
{
    StartedKeeper started;
    const auto& generation = plan.generation();
    if (!generation || !plan.request().generated)
        return started;
    const GeneratedPasswords& g = *plan.request().generated;
    std::unique_ptr<JournalFile> record;
    if (g.options.saveToFile) {
        std::string path = g.recordFile;
        if (path.empty()) {
            const std::string_view end = ".html.journal";
            path = journal.path.substr(0, journal.path.size() - (endsWith(journal.path, end) ? end.size() : 0))
                + " passwords.asc";
        }
        FileFailure failure = FileFailure::None;
        record = files.create(path,
                              "# Generated passwords, each encrypted to its recipients. Read them with: "
                              "rostermill-cli reveal FILE",
                              failure);
        if (!record) {
            // Never over a file already there: an earlier record may be all
            // that can read its passwords.
            started.failure = failure == FileFailure::SharingViolation
                ? "The password record " + path + " exists already; name a new file."
                : fileErrorText(failure, path);
            return started;
        }
    }
    started.keeper = std::make_unique<PasswordKeeper>(generation->recipe, generation->keys, random, cipher,
                                                      std::move(record),
                                                      g.options.saveToLog ? journal.journal.get() : nullptr);
    return started;
}

HtmlReport finishedLog(BatchJournal* journal, const BatchOutcome& outcome, std::time_t created,
                       const std::string& passwordRecord)
{
    std::optional<HtmlReport> log;
    if (journal && journal->finish(outcome)) {
        if (const std::optional<std::string> text = journal->file().read()) {
            const auto read = readJournal(*text);
            if (const auto* contents = std::get_if<JournalContents>(&read); contents && contents->finished)
                log = activityLog(contents->batch, created);
        }
    }
    if (!log)
        log = activityLog(outcome, created);
    if (!passwordRecord.empty())
        log->setNote("The generated passwords are kept, each encrypted to its recipients, in " + passwordRecord
                     + ".");
    return std::move(*log);
}

std::vector<FoundJournal> recoverJournals(JournalFiles& journals, FileWriter& files, const std::string& folder,
                                          std::time_t now)
{
    std::vector<FoundJournal> found;
    for (const std::string& path : journals.list(folder)) {
        if (!isJournalName(path))
            continue;
        const std::unique_ptr<JournalFile> file = journals.claim(path);
        if (!file)
            continue; // its batch is running, or another start took it
        FoundJournal& f = found.emplace_back();
        f.journal = path;
        const std::optional<std::string> text = file->read();
        if (!text) {
            f.refusal = JournalRefusal{0, "it cannot be read"};
            continue;
        }
        auto read = readJournal(*text);
        if (auto* refusal = std::get_if<JournalRefusal>(&read)) {
            f.refusal = *refusal;
            continue;
        }
        JournalContents& contents = std::get<JournalContents>(read);
        f.interrupted = !contents.finished;
        std::vector<AccountOutcome>& accounts = contents.batch.accounts;
        if (f.interrupted)
            accounts.erase(std::remove_if(accounts.begin(), accounts.end(),
                                          [](const AccountOutcome& a) {
                                              // One whose generated password may be set stays.
                                              return !a.processed && a.sealedPassword.empty();
                                          }),
                           accounts.end());
        HtmlReport log = activityLog(contents.batch, now);
        if (f.interrupted)
            log.setNote("This batch did not finish. Only the accounts whose actions had ended are listed; an "
                        "account it was working on when it stopped may have changed too.");
        f.log = path.substr(0, path.size() - JournalEnd.size());
        f.failure = files.replaceFile(f.log, log.fileContents());
        if (f.failure == FileFailure::None)
            file->remove();
    }
    return found;
}

} // namespace rm
