#pragma once

#include "core/search/SearchOutcome.h"
#include "core/search/SearchRequest.h"

#include <string>

namespace rm {

// Why a computer left the list, as the console says it: what the window
// counts as offline told apart (no answer to the liveness step, unreachable,
// access denied, another failure) from the account's absence.
std::string dropReasonText(const DroppedComputer& dropped, const SearchRequest& request);

} // namespace rm
