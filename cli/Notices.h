#pragma once

#include "core/ports/Prompter.h"

#include <iosfwd>
#include <string>

namespace rm {

// A message's text on one line: its line breaks and runs of blanks as one
// blank, other control characters escaped as terminalText does.
std::string oneLine(const std::string& text);

// A notice of the window's, as the console tells it: "Title: text" on
// standard error, one line.
void tell(std::ostream& err, const Message& message);

} // namespace rm
