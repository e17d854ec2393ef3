#pragma once

#include "core/batch/BatchJournal.h"
#include "core/batch/BatchOutcome.h"
#include "core/passwords/PasswordRecipe.h"
#include "core/ports/JournalFiles.h"
#include "core/ports/RandomSource.h"
#include "core/ports/RecordCipher.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rm {

// A batch's generated passwords, each drawn, encrypted to the recipients'
// keys and on the disk (the separate record, the journal the activity log
// is made from, or both) before it is set, so that no password is set that
// nobody can read back.
class PasswordKeeper {
public:
    // `record`: the separate record, when chosen; `journal`: given when the
    // activity log keeps the passwords.
    PasswordKeeper(PasswordRecipe recipe, std::vector<std::string> keys, RandomSource& random, RecordCipher& cipher,
                   std::unique_ptr<JournalFile> record, BatchJournal* journal);

    // A new password for `account`, kept; nothing when it could not be kept
    // (then the batch must stop: see failure()).
    std::optional<Secret> draw(AccountOutcome& account);
    // The set of `account`'s password ended: the record says how.
    void settled(const AccountOutcome& account);

    // Why the last draw could not be kept; empty when it could.
    const std::string& failure() const { return failure_; }
    // The separate record's path, when there is one.
    std::string recordPath() const;

private:
    PasswordRecipe recipe_;
    std::vector<std::string> keys_;
    RandomSource& random_;
    RecordCipher& cipher_;
    std::unique_ptr<JournalFile> record_;
    BatchJournal* journal_;
    std::string failure_;
};

} // namespace rm
