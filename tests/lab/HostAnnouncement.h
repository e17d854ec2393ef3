#pragma once

#include <cstdint>
#include <string>

namespace rm {

// A browser host announcement, broadcast from `from` as a server sends it
// to its workgroup's master browser: the master lists `name` with `type`
// until three periods have passed without another. Type 0 withdraws the
// name. False when the datagram could not be sent.
bool announceHost(const std::string& from, const std::string& broadcast, const std::string& workgroup,
                  const std::string& name, std::uint32_t type, std::uint32_t periodicityMs);

} // namespace rm
