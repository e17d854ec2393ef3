#pragma once

#include <string>
#include <vector>

namespace rm {

using TextRows = std::vector<std::vector<std::string>>;

// The columns a text takes on a terminal: one per character, none for a
// combining mark, two for a wide East Asian one; an invalid byte counts one.
std::size_t displayWidth(const std::string& utf8);

// Columns padded to their widest cell and parted by two blanks; the first
// row underlined when it is a heading. No trailing blanks; cells as
// terminalText shows them.
std::string alignedTable(const TextRows& rows, bool underlined = true);

// A text from the network or a file as a terminal may be given it: every
// control character (C0, DEL, C1) and every byte that is no UTF-8 shown
// escaped, "\x1B", "\u009B", so none can move the cursor or recolour.
std::string terminalText(const std::string& text);

// One field as a CSV file holds it: quoted where it has a comma, a quote,
// a line break or blanks at an end, quotes doubled. A field a spreadsheet
// would take as a formula (starting with = + - @, a tab or a carriage
// return) gets a leading apostrophe and is quoted.
std::string csvField(const std::string& text);
// Lines ended by CR LF, as the CSV format has them.
std::string csvText(const TextRows& rows);

} // namespace rm
