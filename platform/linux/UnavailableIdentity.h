#pragma once

#include "platform/CurrentIdentity.h"

namespace rm {

// Used until the network identity is looked up for real: every lookup fails,
// so an empty stored domain stays empty.
class UnavailableIdentity : public CurrentIdentity {
public:
    bool currentUserDomain(std::string& user, std::string& domain) override;
    std::string dnsToFlatDomainName(const std::string& dnsName) override;
    std::string flatToDnsDomainName(const std::string& flatName) override;
};

} // namespace rm
