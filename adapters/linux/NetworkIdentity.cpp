#include "adapters/linux/NetworkIdentity.h"

#include <ctime>
#include <krb5.h>
#include <pwd.h>
#include <resolv.h>
#include <unistd.h>

#include "core/ports/Text.h"
#include "core/ports/Secret.h"
#include "adapters/linux/SecretsProtection.h"

namespace rm {

NetworkIdentity::NetworkIdentity(NetworkManagement& network, NetworkCredentials& credentials, AskCredentials ask,
                                 bool askFirst)
    : network_(network), credentials_(credentials), ask_(std::move(ask)), askFirst_(askFirst)
{
}

bool NetworkIdentity::ticketPrincipal(std::string& user, std::string& realm)
{
    krb5_context context = nullptr;
    if (krb5_init_context(&context) != 0)
        return false;
    bool found = false;
    krb5_ccache cache = nullptr;
    krb5_principal principal = nullptr;
    if (krb5_cc_default(context, &cache) == 0 && krb5_cc_get_principal(context, cache, &principal) == 0) {
        // Usable: some ticket in the cache has not yet expired.
        krb5_cc_cursor cursor;
        krb5_creds creds;
        bool live = false;
        if (krb5_cc_start_seq_get(context, cache, &cursor) == 0) {
            while (!live && krb5_cc_next_cred(context, cache, &cursor, &creds) == 0) {
                live = creds.times.endtime > std::time(nullptr);
                krb5_free_cred_contents(context, &creds);
            }
            krb5_cc_end_seq_get(context, cache, &cursor);
        }
        if (live && krb5_princ_size(context, principal) >= 1) {
            const krb5_data* name = krb5_princ_component(context, principal, 0);
            const krb5_data* r = krb5_princ_realm(context, principal);
            user.assign(name->data, name->length);
            realm.assign(r->data, r->length);
            found = true;
        }
    }
    if (principal)
        krb5_free_principal(context, principal);
    if (cache)
        krb5_cc_close(context, cache);
    krb5_free_context(context);
    return found;
}

bool NetworkIdentity::ensureCredentials()
{
    // Before anything else: a ticket's keys are secrets too, and a password
    // may yet be asked for or typed.
    keepSecretsFromOtherProcesses();
    std::lock_guard lock(mutex_);
    if (settled_)
        return usable_;
    settled_ = true;
    std::string user, realm;
    const bool ticket = ticketPrincipal(user, realm);
    if (ticket && !askFirst_) {
        credentials_.setCredentials("", Secret()); // the ticket itself
        return usable_ = true;
    }
    std::string account;
    Secret password;
    const bool given = ask_ && ask_(account, password) && !account.empty();
    // A named account without its password would be acted for by whatever
    // ticket there is: neither that account nor the ticket, then.
    if (given && password.empty())
        return usable_ = false;
    if (given)
        credentials_.setCredentials(account, password);
    if (!given && ticket) {
        credentials_.setCredentials("", Secret());
        return usable_ = true;
    }
    if (!given)
        return usable_ = false;
    typedUser_ = account;
    typedDomain_.clear();
    if (auto slash = account.find('\\'); slash != std::string::npos) {
        typedDomain_ = account.substr(0, slash);
        typedUser_ = account.substr(slash + 1);
    } else if (auto at = account.rfind('@'); at != std::string::npos) {
        typedUser_ = account.substr(0, at);
        typedDomain_ = account.substr(at + 1);
    }
    return usable_ = true;
}

std::string NetworkIdentity::configuredRealm()
{
    std::string realm;
    krb5_context context = nullptr;
    if (krb5_init_context(&context) == 0) {
        char* name = nullptr;
        if (krb5_get_default_realm(context, &name) == 0 && name) {
            realm = name;
            krb5_free_default_realm(context, name);
        }
        krb5_free_context(context);
    }
    if (!realm.empty())
        return realm;
    struct __res_state resolver {};
    if (res_ninit(&resolver) == 0) {
        if (resolver.dnsrch[0])
            realm = resolver.dnsrch[0];
        res_nclose(&resolver);
    }
    return realm;
}

bool NetworkIdentity::currentUserDomain(std::string& user, std::string& domain)
{
    // Never asks: this runs before anyone has pressed a button.
    std::string realm;
    {
        std::lock_guard lock(mutex_);
        if (!typedUser_.empty()) {
            user = typedUser_;
            realm = typedDomain_;
        }
    }
    if (realm.empty() && !ticketPrincipal(user, realm)) {
        if (const passwd* self = ::getpwuid(::getuid()))
            user = self->pw_name;
        realm = configuredRealm();
    }
    if (realm.empty())
        return false;
    // The account's domain in its NetBIOS form, where the controller tells it.
    const std::string flat = realm.find('.') == std::string::npos ? std::string() : dnsToFlatDomainName(realm);
    domain = flat.empty() ? realm : flat;
    return true;
}

std::string NetworkIdentity::knownRealm()
{
    {
        std::lock_guard lock(mutex_);
        if (!typedDomain_.empty())
            return typedDomain_;
    }
    std::string user, realm;
    return ticketPrincipal(user, realm) ? realm : configuredRealm();
}

std::string NetworkIdentity::translate(const std::string& name, DomainNameForm form)
{
    if (name.empty())
        return {};
    DomainController controller;
    if (network_.domainController(name, form, controller) != NetStatus::Success)
        return {};
    return controller.domain;
}

std::string NetworkIdentity::dnsToFlatDomainName(const std::string& dnsName)
{
    return translate(dnsName, DomainNameForm::Flat);
}

std::string NetworkIdentity::flatToDnsDomainName(const std::string& flatName)
{
    if (flatName.empty() || flatName.find('.') != std::string::npos)
        return translate(flatName, DomainNameForm::Dns);
    // The locator finds a flat name only by a NetBIOS broadcast, and whoever
    // answers it would name the domain that the directory's password and
    // ticket go to. Ask instead the domains this machine knows by DNS (its
    // resolver's search list, the ticket's or the credentials' realm) which
    // of them has that flat name.
    std::vector<std::string> candidates;
    struct __res_state resolver {};
    if (res_ninit(&resolver) == 0) {
        for (char** d = resolver.dnsrch; d && *d; ++d)
            candidates.emplace_back(*d);
        res_nclose(&resolver);
    }
    if (const std::string realm = knownRealm(); realm.find('.') != std::string::npos)
        candidates.push_back(realm);
    for (const std::string& candidate : candidates) {
        DomainController controller;
        if (network_.domainController(candidate, DomainNameForm::Flat, controller) == NetStatus::Success
            && equalsIgnoringCase(controller.domain, flatName))
            return translate(candidate, DomainNameForm::Dns);
    }
    return {};
}

} // namespace rm
