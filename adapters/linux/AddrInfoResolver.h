#pragma once

#include "core/ports/HostResolver.h"

namespace rm {

// getaddrinfo for IPv4; thread-safe.
class AddrInfoResolver : public HostResolver {
public:
    std::uint32_t resolve(const std::string& name) override;
};

} // namespace rm
