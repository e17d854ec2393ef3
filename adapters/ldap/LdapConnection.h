#pragma once

#include "core/ports/DirectoryClient.h"

#include <string>
#include <vector>

typedef struct ldap LDAP;

namespace rm {

// One LDAP connection to the first of a domain's directory servers that
// answers. Binds as the default Kerberos identity, or, given an account and
// password, with a ticket got from them in memory; where the account's realm
// has no reachable Kerberos server and the caller allows it, with the password
// as a simple bind, only over StartTLS to a server of the domain whose
// certificate a trust anchor vouches for under that server's name. Never sends
// a password in clear text or to an unproven server.
class LdapConnection : public DirectoryClient::Connection {
public:
    struct Identity {
        std::string account; // empty: the default Kerberos identity
        std::string password;
        std::string realm;   // of an account given without one
    };
    // The certificate authorities the password bind's TLS trusts.
    struct TrustAnchors {
        std::string file;   // PEM bundle
        std::string folder; // hashed folder
    };

    LdapConnection(std::string domain, std::vector<std::string> servers, Identity identity,
                   TrustAnchors anchors = systemTrustAnchors());
    ~LdapConnection() override;

    BindResult bind(bool allowSimpleBind) override;
    std::unique_ptr<DirectoryClient::Search> searchPaged(const DirectoryQuery& query) override;

    // "user@REALM" for an account given as "DOMAIN\user", "user@realm" or
    // "user"; the realm in capitals, the domain's when none is given.
    static std::string principalOf(const std::string& account, const std::string& realm);

    // TLS_CACERT and TLS_CACERTDIR of the system's /etc/ldap/ldap.conf, read
    // only when root alone can write it; else the system's bundle.
    static TrustAnchors systemTrustAnchors();

    // Keeps libldap from reading configuration of the user or of the current
    // folder (ldaprc, .ldaprc, LDAPRC, LDAP* variables), which could turn
    // certificate checks off. Call first thing in main, before any thread.
    static void ignoreUserConfiguration();

private:
    BindResult bindTo(const std::string& server, bool allowSimpleBind);
    int saslBind();
    BindResult protectedSimpleBind(const std::string& server);
    int startVerifiedTls();

    std::string domain_;
    std::vector<std::string> servers_;
    Identity identity_;
    TrustAnchors anchors_;
    LDAP* ld_ = nullptr;
    bool bound_ = false;
};

} // namespace rm
