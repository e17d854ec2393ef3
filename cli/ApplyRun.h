#pragma once

#include "cli/CliOptions.h"
#include "cli/CliPlatform.h"

#include <iosfwd>

namespace rm {

// `apply`: the window's perform command over the given accounts. Returns
// the exit status; throws UsageError.
int runApply(const ApplyArgs& args, CliPlatform& platform, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace rm
