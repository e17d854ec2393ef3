#pragma once

#include <cstdint>
#include <string>

namespace rm {

// Turns a computer name into an IPv4 address. Called from many threads at once.
class HostResolver {
public:
    virtual ~HostResolver() = default;
    // The first address, in network byte order; 0 when the name does not resolve.
    virtual std::uint32_t resolve(const std::string& name) = 0;
};

} // namespace rm
