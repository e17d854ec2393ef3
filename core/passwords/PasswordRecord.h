#pragma once

#include "core/ports/RecordCipher.h"
#include "core/ports/Secret.h"

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace rm {

// The record of generated passwords: a text of OpenPGP armoured messages,
// one an entry, each holding one computer's account, password and time,
// written before that password is set; and after the set a marker line in
// the clear, "RMR1 set COMPUTER ACCOUNT" or "RMR1 failed COMPUTER ACCOUNT",
// the names with every byte but letters, digits, '.', '_' and '-' written
// %XX. The separate record file is such a text; an activity log holds one
// in each generated account's row. Anything else in the text is ignored.
enum class RecordState { Unknown, Set, Failed };

struct RecordEntry {
    std::string computer;
    std::string account;
    Secret password;
    std::time_t time = 0;
    RecordState state = RecordState::Unknown; // from the marker right after it
};

// The plaintext sealed for one entry.
Secret recordEntryText(const std::string& computer, const std::string& account, const Secret& password,
                       std::time_t time);
// The marker line (no line end) of a set that ended.
std::string recordMarkerLine(RecordState state, const std::string& computer, const std::string& account);

// Every entry of `text`, decrypted in order; what could not be read, and why.
struct RevealedRecord {
    std::vector<RecordEntry> entries;
    std::vector<std::string> problems;
};
RevealedRecord readPasswordRecord(std::string_view text, RecordCipher& cipher);

} // namespace rm
