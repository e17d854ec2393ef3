#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace rm {

// Exit statuses: all done; some computers failed (or nothing was done);
// bad usage or input.
enum ExitStatus { ExitDone = 0, ExitSomeFailed = 1, ExitUsage = 2 };

// rostermill-cli with the arguments after its name. Results go to `out`,
// notices, progress and the one line of a usage error to `err`.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

} // namespace rm
