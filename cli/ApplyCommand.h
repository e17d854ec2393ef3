#pragma once

#include "cli/CliOptions.h"
#include "cli/ConsoleFace.h"
#include "cli/ConsolePlatform.h"

#include <iosfwd>

namespace rm {

// `apply`: the window's batch over the given accounts, then its activity
// log. Returns the exit status; throws UsageError.
int runApply(const ApplyArgs& args, ConsolePlatform& platform, ConsoleFace& face, std::istream& in,
             std::ostream& out, std::ostream& err);

} // namespace rm
