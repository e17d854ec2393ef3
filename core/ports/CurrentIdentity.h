#pragma once

#include <string>

namespace rm {

// Who the program acts as on the network, and the two forms of a domain name.
class CurrentIdentity {
public:
    virtual ~CurrentIdentity() = default;
    // Makes sure the network calls have credentials to act with (it may ask
    // the user once); false when there are none.
    virtual bool ensureCredentials() { return true; }
    // The account name and domain of the user the program runs as.
    virtual bool currentUserDomain(std::string& user, std::string& domain) = 0;
    // Empty text on any failure.
    virtual std::string dnsToFlatDomainName(const std::string& dnsName) = 0;
    virtual std::string flatToDnsDomainName(const std::string& flatName) = 0;
};

} // namespace rm
