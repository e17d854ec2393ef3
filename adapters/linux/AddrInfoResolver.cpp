#include "adapters/linux/AddrInfoResolver.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace rm {

std::uint32_t AddrInfoResolver::resolve(const std::string& name)
{
    // The whole name or nothing: a name cut at a NUL would be another computer's.
    if (name.empty() || name.find('\0') != std::string::npos)
        return 0;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_RAW;
    addrinfo* found = nullptr;
    if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || !found)
        return 0;
    const std::uint32_t address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    ::freeaddrinfo(found);
    return address;
}

} // namespace rm
