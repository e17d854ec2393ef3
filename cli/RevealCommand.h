#pragma once

#include "cli/CliOptions.h"
#include "cli/ConsolePlatform.h"

#include <iosfwd>

namespace rm {

// `reveal`: the entries of a password record (or an activity log) that
// match the filters, decrypted and printed. Returns the exit status;
// throws UsageError.
int runReveal(const RevealArgs& args, ConsolePlatform& platform, std::istream& in, std::ostream& out,
              std::ostream& err);

} // namespace rm
