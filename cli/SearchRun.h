#pragma once

#include "cli/CliOptions.h"
#include "cli/CliPlatform.h"

#include <iosfwd>

namespace rm {

// `search`: the window's search command over the console's steps, then the
// report. Returns the exit status; throws UsageError.
int runSearch(const SearchArgs& args, CliPlatform& platform, std::istream& in, std::ostream& out,
              std::ostream& err);

} // namespace rm
