#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rm {

// The longest word a dictionary may hold, in bytes.
constexpr std::size_t MaximumWordBytes = 64;

// Whether `word` can stand in a passphrase: not empty, at most
// MaximumWordBytes, well-formed UTF-8 without blanks or control characters
// (C0, DEL, C1), so that what is set is what a record and a terminal show.
bool isPassphraseWord(std::string_view word);

// A passphrase dictionary's words: one a line, blanks around it dropped,
// lines that hold no passphrase word left out, each word once, in the order
// first met.
std::vector<std::string> readWordList(std::string_view text);

} // namespace rm
