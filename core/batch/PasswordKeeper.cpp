#include "core/batch/PasswordKeeper.h"

#include "core/passwords/PasswordRecord.h"

namespace rm {

PasswordKeeper::PasswordKeeper(PasswordRecipe recipe, std::vector<std::string> keys, RandomSource& random,
                               RecordCipher& cipher, std::unique_ptr<JournalFile> record, BatchJournal* journal)
    : recipe_(std::move(recipe)), keys_(std::move(keys)), random_(random), cipher_(cipher),
      record_(std::move(record)), journal_(journal)
{
}

std::optional<Secret> PasswordKeeper::draw(AccountOutcome& account)
{
    Secret password = recipe_.draw(random_);
    std::string error;
    const std::optional<std::string> block = cipher_.encrypt(
        keys_, recordEntryText(account.target.computer, account.target.user, password, account.time), error);
    if (!block) {
        failure_ = "the generated password could not be encrypted: " + error;
        return std::nullopt;
    }
    if (record_ && record_->append(*block) != FileFailure::None) {
        failure_ = "the generated password could not be written to " + record_->path();
        return std::nullopt;
    }
    if (journal_) {
        account.sealedPassword = *block;
        if (!journal_->recordSealed(account)) {
            account.sealedPassword.clear();
            // The record holds a password that is now never set.
            if (record_)
                record_->append(recordMarkerLine(RecordState::Failed, account.target.computer, account.target.user));
            failure_ = "the generated password could not be written to " + journal_->file().path();
            return std::nullopt;
        }
    }
    return password;
}

void PasswordKeeper::settled(const AccountOutcome& account)
{
    // The entry stays readable whatever this write does; it only tells
    // whether the set took.
    if (record_ && account.password.attempted)
        record_->append(recordMarkerLine(account.password.succeeded() ? RecordState::Set : RecordState::Failed,
                                         account.target.computer, account.target.user));
}

std::string PasswordKeeper::recordPath() const
{
    return record_ ? record_->path() : std::string();
}

} // namespace rm
