#pragma once

#include "core/ports/NetworkManagement.h"

#include <atomic>
#include <chrono>
#include <string>

namespace rm {

// Whether a computer answers on the file-sharing port at all, found out on
// the calling thread so that an unreachable or silent computer never ties up
// a helper: a connection, then a protocol negotiation that any live server
// answers at once. NERR_Success where it answers or where this cannot tell
// (a name only the helper can resolve, a refused connection the helper
// fails on quickly by itself); ERROR_BAD_NETPATH where no connection comes
// about within the limit; RPC_S_SERVER_UNAVAILABLE where it connects but
// does not answer; ERROR_CANCELLED once `cancel` is set.
NetStatus probeServer(const std::string& server, std::chrono::milliseconds limit,
                      const std::atomic<bool>* cancel = nullptr, int port = 445);

// Whether the computer takes a TCP connection on `port` within `limit`; a
// name that does not resolve or a refused connection takes none.
bool acceptsConnection(const std::string& server, int port, std::chrono::milliseconds limit,
                       const std::atomic<bool>* cancel = nullptr);

} // namespace rm
