#include "core/search/DefaultDomainName.h"

namespace rm {

std::string defaultDomainName(CurrentIdentity& identity)
{
    std::string user;
    std::string domain;
    if (!identity.currentUserDomain(user, domain))
        return {};
    std::string dns = identity.flatToDnsDomainName(domain);
    return dns.empty() ? domain : dns;
}

} // namespace rm
