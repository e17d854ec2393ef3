#include "adapters/ldap/OpenLdapDirectory.h"

#include "core/ports/Wipe.h"
#include "adapters/ldap/LdapConnection.h"

#include <ldap.h>
#include <sstream>

namespace rm {

void OpenLdapDirectory::setCredentials(const std::string& account, const Secret& password)
{
    std::lock_guard lock(mutex_);
    account_ = account;
    password_ = Secret::copyOf(password.reveal());
}

std::vector<std::string> OpenLdapDirectory::directoryServers(const std::string& domain)
{
    std::vector<std::string> servers;
    char* list = nullptr;
    if (domain.empty() || ldap_domain2hostlist(domain.c_str(), &list) != LDAP_SUCCESS || !list)
        return servers;
    std::istringstream entries(list);
    ldap_memfree(list);
    // "host:port" each; LDAP is always asked on its own port.
    for (std::string entry; entries >> entry;)
        servers.push_back(entry.substr(0, entry.rfind(':')));
    return servers;
}

std::unique_ptr<DirectoryClient::Connection> OpenLdapDirectory::connect(const std::string& domain)
{
    std::vector<std::string> servers = directoryServers(domain);
    if (servers.empty())
        return nullptr;
    LdapConnection::Identity identity;
    {
        std::lock_guard lock(mutex_);
        identity = {account_, password_.reveal(), domain};
    }
    auto connection = std::make_unique<LdapConnection>(domain, std::move(servers), std::move(identity));
    wipe(identity.password);
    return connection;
}

} // namespace rm
