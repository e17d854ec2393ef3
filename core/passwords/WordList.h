#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rm {

// A passphrase dictionary's words: one a line, blanks dropped, each word
// once, in the order first met.
std::vector<std::string> readWordList(std::string_view text);

} // namespace rm
