#include "cli/CliProgram.h"

#include "cli/ApplyRun.h"
#include "cli/CliOptions.h"
#include "cli/CliPlatform.h"
#include "cli/Interrupt.h"
#include "cli/SearchRun.h"

#include <ostream>

namespace rm {

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err)
{
    try {
        const CommandLine command = parseCommandLine(args);
        if (command.kind == CommandLine::Kind::Help) {
            out << command.helpText;
            return ExitDone;
        }
        catchInterrupts();
        if (command.kind == CommandLine::Kind::Search) {
            CliPlatform platform(command.search.logon);
            return runSearch(command.search, platform, in, out, err);
        }
        CliPlatform platform(command.apply.logon);
        return runApply(command.apply, platform, in, out, err);
    } catch (const UsageError& e) {
        err << "rostermill-cli: " << e.what() << std::endl;
        return ExitUsage;
    }
}

} // namespace rm
