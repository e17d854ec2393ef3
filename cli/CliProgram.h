#pragma once

#include "cli/ConsolePlatform.h"
#include "core/ports/CurrentIdentity.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace rm {

// Exit statuses: all done; some computers failed (or nothing was done);
// bad usage or input.
enum ExitStatus { ExitDone = 0, ExitSomeFailed = 1, ExitUsage = 2 };

// rostermill-cli with the arguments after its name. Results go to `out`,
// notices, progress and the one line of a usage error to `err`.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
           const ConsolePlatform::Maker& makePlatform);

// Credentials for the network: --as, else the ticket. Throws UsageError
// when there are none.
void requireCredentials(CurrentIdentity& identity);

} // namespace rm
