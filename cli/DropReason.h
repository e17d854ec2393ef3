#pragma once

#include "accountsearch/AccountCheckResult.h"
#include "cli/CliOptions.h"

#include <string>

namespace rm {

// Why a computer left the list: what the window counts as offline told
// apart (no answer to the liveness step, unreachable, access denied, another
// failure) from the account's absence.
std::string droppedByLiveness(AliveMode mode);
std::string droppedByCheck(const AccountCheckResult& result, bool groupMode);

} // namespace rm
