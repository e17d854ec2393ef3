#pragma once

#include "core/batch/BatchOutcome.h"
#include "core/ports/JournalFiles.h"

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rm {

// The batch journal, format 1: lines of ASCII ending in "\n", fields parted
// by one space, each line starting "RMJ1". Text fields are UTF-8 with '%',
// space, ',' and every byte below 0x21 or from 0x7F on written %XX.
//
//   RMJ1 batch CONFIRMED PASSWORD ENABLED RENAME NEWNAME
//   RMJ1 sealed COMPUTER USER BLOCK
//   RMJ1 account TIME COMPUTER USER FOUND GROUPS PROCESSED PASSWORD ENABLE RENAME
//   RMJ1 end CANCELLED
//
// CONFIRMED and TIME are seconds since 1970; PASSWORD, RENAME, PROCESSED and
// CANCELLED are 0 or 1; ENABLED is keep, enable or disable; FOUND is the
// enabled state the search found: 0, 1 or - (not known); GROUPS are text
// fields parted by ','. The actions of an account are - (not asked for),
// . (asked for, not tried) or the status number the try ended with. The
// batch line comes first, then a line per account as its actions end, then
// the accounts a cancel left, then the end line. A generated password that
// the log keeps comes encrypted (BLOCK, an armoured message) in a sealed line
// written before it is set; a sealed line no account line follows is an
// account the batch stopped in, its password perhaps set. No password is
// written in the clear.
std::string journalBatchLine(const BatchOutcome& batch, std::time_t confirmed);
std::string journalAccountLine(const AccountOutcome& account);
std::string journalSealedLine(const std::string& computer, const std::string& user, const std::string& block);
std::string journalEndLine(bool cancelled);

// A journal read back: the batch with the accounts it holds, and whether
// it reached its end line.
struct JournalContents {
    BatchOutcome batch;
    std::time_t confirmed = 0;
    bool finished = false;
    std::vector<AccountOutcome> sealed; // sealed lines no account line has followed yet
};
// Why a journal was refused, and on which line (from 1).
struct JournalRefusal {
    std::size_t line = 0;
    std::string reason;
};

// A last line without its line end (the write a kill or a power cut cut
// short) is left out; any other line that does not read is a refusal.
std::variant<JournalContents, JournalRefusal> readJournal(std::string_view text);

// A batch's journal while it runs: its lines appended from any worker, one
// at a time. The first failure is kept and ends the recording.
class BatchJournal {
public:
    explicit BatchJournal(std::unique_ptr<JournalFile> file) : file_(std::move(file)) {}

    // False once a line could not be written.
    bool record(const AccountOutcome& account);
    bool recordSealed(const AccountOutcome& account);
    // The accounts a cancel left, then the end line.
    bool finish(const BatchOutcome& batch);
    FileFailure failure() const;
    JournalFile& file() { return *file_; }

private:
    bool append(const std::string& line);

    mutable std::mutex mutex_;
    std::unique_ptr<JournalFile> file_;
    FileFailure failure_ = FileFailure::None;
};

} // namespace rm
