#pragma once

#include "core/ports/CurrentIdentity.h"
#include "core/ports/NetworkCredentials.h"
#include "core/ports/NetworkManagement.h"

#include <functional>
#include <mutex>

namespace rm {

// Who the program is on the network: the user's Kerberos identity (the
// default ticket cache) where there is a usable ticket, else credentials the
// user gives once per run, kept in memory only. Domain names are translated
// by asking the domain's controller.
class NetworkIdentity : public CurrentIdentity {
public:
    // Asks for "DOMAIN\user" (or "user@REALM") and a password; false when declined.
    using AskCredentials = std::function<bool(std::string& account, Secret& password)>;

    // With `askFirst`, an account the user names is taken even where there
    // is a ticket (a console user who names one means it); the ticket only
    // where the asking gives none.
    NetworkIdentity(NetworkManagement& network, NetworkCredentials& credentials, AskCredentials ask,
                    bool askFirst = false);

    // True once the network calls have credentials: a ticket, or asked (once).
    // An account given with an empty password is refused. The process is
    // kept from core files and tracing first, whatever follows.
    bool ensureCredentials() override;

    bool currentUserDomain(std::string& user, std::string& domain) override;
    std::string dnsToFlatDomainName(const std::string& dnsName) override;
    std::string flatToDnsDomainName(const std::string& flatName) override;

    // The default cache's principal as user and realm, when it holds a live ticket.
    static bool ticketPrincipal(std::string& user, std::string& realm);

    // What the machine is configured with: the Kerberos default realm, else
    // the resolver's first search domain.
    static std::string configuredRealm();

private:
    std::string translate(const std::string& name, DomainNameForm form);
    // The realm or domain of whoever the program acts as, as far as known.
    std::string knownRealm();

    NetworkManagement& network_;
    NetworkCredentials& credentials_;
    AskCredentials ask_;
    const bool askFirst_;
    std::mutex mutex_;
    bool settled_ = false;
    bool usable_ = false;
    // The account typed by the user, when there was no ticket.
    std::string typedUser_, typedDomain_;
};

} // namespace rm
