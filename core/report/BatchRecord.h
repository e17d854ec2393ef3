#pragma once

#include "core/batch/BatchJournal.h"
#include "core/batch/BatchPlan.h"
#include "core/batch/PasswordKeeper.h"
#include "core/batch/BatchRequest.h"
#include "core/ports/FileWriter.h"
#include "core/ports/JournalFiles.h"
#include "core/report/HtmlReport.h"

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rm {

// A batch's record on disk: its journal beside where its log goes, named
// after the log the batch would have had when confirmed ("Log <time>.html"
// becomes "Log <time>.html.journal"), then its log made from the journal.

// `name` in `folder`; the current folder when empty.
std::string pathIn(const std::string& folder, const std::string& name);

// The journal of a batch about to run, its batch line written; without
// one, why and where it was tried.
struct StartedJournal {
    std::unique_ptr<BatchJournal> journal;
    std::string path;
    FileFailure failure = FileFailure::None;
};
StartedJournal startJournal(JournalFiles& files, const std::string& folder, const BatchRequest& request,
                            std::time_t confirmed);

// The keeper of a plan's generated passwords, with its separate record
// made new at the path the request names, else beside the journal ("Log
// <time>.html.journal" gives "Log <time> passwords.asc"), when the options
// choose one. Nothing for a plan without generated passwords; nothing and
// why when the record cannot be made.
struct StartedKeeper {
    std::unique_ptr<PasswordKeeper> keeper;
    std::string failure;
};
StartedKeeper startPasswordKeeper(const BatchPlan& plan, JournalFiles& files, const StartedJournal& journal,
                                  RandomSource& random, RecordCipher& cipher);

// The log of a batch that ran to its end, made at `created` from the
// journal read back, or from `outcome` when there is no whole journal. Once
// the log is in place the face removes the journal. A separate record of
// generated passwords, when given, is named in the log's note.
HtmlReport finishedLog(BatchJournal* journal, const BatchOutcome& outcome, std::time_t created,
                       const std::string& passwordRecord = {});

// A journal found at start and what became of it.
struct FoundJournal {
    std::string journal;
    std::string log;                       // where its log goes
    FileFailure failure = FileFailure::None; // why the log was not written there
    std::optional<JournalRefusal> refusal; // the journal did not read
    bool interrupted = false;              // its batch never reached its end

    bool logWritten() const { return !refusal && failure == FileFailure::None; }
};

// Every journal in `folder` no running batch holds, turned into its log at
// `now` (listing only the accounts the journal holds, and saying so when
// the batch did not finish) and removed once the log is in place. A journal
// that does not read is left as it is.
std::vector<FoundJournal> recoverJournals(JournalFiles& journals, FileWriter& files, const std::string& folder,
                                          std::time_t now);

} // namespace rm
