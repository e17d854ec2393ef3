#include "platform/linux/UnavailableIdentity.h"

namespace rm {

bool UnavailableIdentity::currentUserDomain(std::string&, std::string&)
{
    return false;
}

std::string UnavailableIdentity::dnsToFlatDomainName(const std::string&)
{
    return {};
}

std::string UnavailableIdentity::flatToDnsDomainName(const std::string&)
{
    return {};
}

} // namespace rm
