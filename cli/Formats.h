#pragma once

#include <string>
#include <vector>

namespace rm {

using TextRows = std::vector<std::vector<std::string>>;

// The columns a text takes on a terminal: one per character, none for a
// combining mark, two for a wide East Asian one; an invalid byte counts one.
std::size_t displayWidth(const std::string& utf8);

// Columns padded to their widest cell and parted by two blanks; the first
// row underlined when it is a heading. No trailing blanks; control
// characters are shown as '?'.
std::string alignedTable(const TextRows& rows, bool underlined = true);

// One field as a CSV file holds it: quoted where it has a comma, a quote,
// a line break or blanks at an end, quotes doubled.
std::string csvField(const std::string& text);
// Lines ended by CR LF, as the CSV format has them.
std::string csvText(const TextRows& rows);

} // namespace rm
