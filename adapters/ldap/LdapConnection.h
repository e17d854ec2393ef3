#pragma once

#include "core/ports/DirectoryClient.h"

#include <string>
#include <vector>

typedef struct ldap LDAP;

namespace rm {

// One LDAP connection to the first of a domain's directory servers that
// answers. Binds as the default Kerberos identity, or, given an account and
// password, with a ticket got from them in memory; where no Kerberos server
// can be reached, with the password only over a connection that StartTLS has
// protected. Never sends a password in clear text.
class LdapConnection : public DirectoryClient::Connection {
public:
    struct Identity {
        std::string account; // empty: the default Kerberos identity
        std::string password;
        std::string realm;   // of an account given without one
    };

    LdapConnection(std::vector<std::string> servers, Identity identity);
    ~LdapConnection() override;

    bool bind() override;
    std::unique_ptr<DirectoryClient::Search> searchPaged(const DirectoryQuery& query) override;

    // "user@REALM" for an account given as "DOMAIN\user", "user@realm" or
    // "user"; the realm in capitals, the domain's when none is given.
    static std::string principalOf(const std::string& account, const std::string& realm);

private:
    // An LDAP status.
    int bindTo(const std::string& server);
    int saslBind();
    int protectedSimpleBind();

    std::vector<std::string> servers_;
    Identity identity_;
    LDAP* ld_ = nullptr;
    bool bound_ = false;
};

} // namespace rm
