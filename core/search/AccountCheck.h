#pragma once

#include "core/search/AccountCheckResult.h"
#include "core/ports/NetworkManagement.h"

#include <atomic>

namespace rm {

// The check of one computer: the account (user mode) or the local members of
// the group (group mode), written into that computer's result. A cancel ends
// it before its next call.
void checkComputer(NetworkManagement& network, const std::string& server, const std::string& accountName,
                   bool groupMode, const std::atomic<bool>& cancel, AccountCheckResult& result);

} // namespace rm
