#pragma once

#include "core/search/AccountCheckResult.h"
#include "cli/CliDialogs.h"
#include "cli/CliOptions.h"
#include "cli/SearchReport.h"

#include <string>

namespace rm {

// Why a computer left the list: what the window counts as offline told
// apart (no answer to the liveness step, unreachable, access denied, another
// failure) from the account's absence.
std::string droppedByLiveness(AliveMode mode);
std::string droppedByCheck(const AccountCheckResult& result, bool groupMode);

// The search's dropped computers, in its order, each with its reason as the
// steps of `dialogs` found it.
std::vector<DroppedComputer> droppedComputers(const SearchSummary& summary, const CliDialogs& dialogs,
                                              AliveMode alive);

} // namespace rm
