#pragma once

#include "core/ports/DirectoryClient.h"
#include "core/ports/NetworkCredentials.h"

#include <mutex>
#include <string>
#include <vector>

namespace rm {

// The directory port on Linux: the domain's directory servers from its DNS
// service records, LDAP on port 389 through OpenLDAP, bound as whoever the
// program acts as (the Kerberos ticket, or the credentials the user gave,
// kept in memory only).
class OpenLdapDirectory : public DirectoryClient, public NetworkCredentials {
public:
    void setCredentials(const std::string& account, const Secret& password) override;
    std::unique_ptr<Connection> connect(const std::string& domain) override;

    // The domain's directory servers by DNS, host names only, in the order given.
    static std::vector<std::string> directoryServers(const std::string& domain);

private:
    std::mutex mutex_;
    std::string account_;
    Secret password_;
};

} // namespace rm
