#pragma once

#include "accountsearch/AccountCheckResult.h"
#include "platform/NetworkManagement.h"

namespace rm {

// The check of one computer: the account (user mode) or the local members of
// the group (group mode), written into that computer's result.
void checkComputer(NetworkManagement& network, const std::string& server, const std::string& accountName,
                   bool groupMode, AccountCheckResult& result);

} // namespace rm
