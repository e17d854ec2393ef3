#pragma once

#include "cli/CliOptions.h"
#include "cli/ConsoleFace.h"
#include "cli/ConsolePlatform.h"

#include <iosfwd>

namespace rm {

// `search`: the search of the window over the given options, then its
// report. Returns the exit status; throws UsageError.
int runSearch(const SearchArgs& args, ConsolePlatform& platform, ConsoleFace& face, std::istream& in,
              std::ostream& out, std::ostream& err);

} // namespace rm
