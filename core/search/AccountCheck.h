#pragma once

#include "core/jobs/CancelToken.h"
#include "core/ports/NetworkManagement.h"
#include "core/search/SearchOutcome.h"
#include "core/search/SearchRequest.h"

#include <string>
#include <vector>

namespace rm {

// What the check found on one computer: the account (user and built-in
// administrator modes, the latter under the computer's own name for it) or
// the group's local members (group mode), in the order the computer gave them,
// and the first failure of a look-up other than "no such account".
struct ComputerCheck {
    std::vector<AccountInfo> accounts;
    NetStatus failure = NetStatus::Success;

    bool failed() const { return failure != NetStatus::Success; }
    bool matched() const { return !accounts.empty(); }
};

// The check of one computer. A group that cannot be read has no members; a
// cancel ends the check before its next call.
ComputerCheck checkComputer(NetworkManagement& network, const ServerName& server, const std::string& account,
                            AccountKind kind, const CancelToken& cancel);

} // namespace rm
