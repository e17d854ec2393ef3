#pragma once

#include "cli/CliOptions.h"
#include "cli/ConsoleFace.h"
#include "cli/ConsolePlatform.h"

#include <iosfwd>
#include <string>

namespace rm {

// `apply`: the window's batch over the given accounts, then its activity
// log. Returns the exit status; throws UsageError.
int runApply(const ApplyArgs& args, ConsolePlatform& platform, ConsoleFace& face, std::istream& in,
             std::ostream& out, std::ostream& err);

// Where a batch's log and its journal go: `given` (--log-dir), else the
// current folder when a file can be made there, else the home folder.
std::string logFolder(const std::string& given);

// The journals earlier batches left in `folder` made into their logs, a
// line on `err` for each.
void recoverEarlierBatches(const std::string& folder, ConsolePlatform& platform, std::ostream& err);

} // namespace rm
