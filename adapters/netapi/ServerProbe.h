#pragma once

#include "core/jobs/CancelToken.h"
#include "core/ports/NetStatus.h"

#include <chrono>
#include <string>

namespace rm {

// Whether a computer answers on the file-sharing port at all, found out on
// the calling thread so that an unreachable or silent computer never ties up
// a helper: a connection, then a protocol negotiation that any live server
// answers at once. NetStatus::Success where it answers or where this cannot tell
// (a name only the helper can resolve, a refused connection the helper
// fails on quickly by itself); NetStatus::BadNetPath where no connection comes
// about within the limit; NetStatus::ServerUnavailable where it connects but
// does not answer; NetStatus::Cancelled once `cancel` is set.
NetStatus probeServer(const std::string& server, std::chrono::milliseconds limit,
                      const CancelToken* cancel = nullptr, int port = 445);

// Whether the computer takes a TCP connection on `port` within `limit`; a
// name that does not resolve or a refused connection takes none.
bool acceptsConnection(const std::string& server, int port, std::chrono::milliseconds limit,
                       const CancelToken* cancel = nullptr);

} // namespace rm
