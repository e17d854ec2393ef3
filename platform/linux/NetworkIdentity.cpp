#include "platform/linux/NetworkIdentity.h"

#include <ctime>
#include <krb5.h>
#include <resolv.h>

#include "platform/Text.h"

namespace rm {

NetworkIdentity::NetworkIdentity(NetworkManagement& network, NetworkCredentials& credentials, AskCredentials ask)
    : network_(network), credentials_(credentials), ask_(std::move(ask))
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
    std::lock_guard lock(mutex_);
    if (settled_)
        return usable_;
    settled_ = true;
    std::string user, realm;
    if (ticketPrincipal(user, realm)) {
        credentials_.setCredentials("", ""); // the ticket itself
        user_ = user;
        domain_ = realm;
        return usable_ = true;
    }
    std::string account, password;
    if (!ask_ || !ask_(account, password) || account.empty())
        return usable_ = false;
    credentials_.setCredentials(account, password);
    std::fill(password.begin(), password.end(), '\0');
    user_ = account;
    domain_.clear();
    if (auto slash = account.find('\\'); slash != std::string::npos) {
        domain_ = account.substr(0, slash);
        user_ = account.substr(slash + 1);
    } else if (auto at = account.rfind('@'); at != std::string::npos) {
        user_ = account.substr(0, at);
        domain_ = account.substr(at + 1);
    }
    return usable_ = true;
}

bool NetworkIdentity::currentUserDomain(std::string& user, std::string& domain)
{
    if (!ensureCredentials() || domain_.empty())
        return false;
    user = user_;
    // The account's domain in its NetBIOS form, where the controller tells it.
    const std::string flat = domain_.find('.') == std::string::npos ? std::string() : dnsToFlatDomainName(domain_);
    domain = flat.empty() ? domain_ : flat;
    return true;
}

std::string NetworkIdentity::translate(const std::string& name, std::uint32_t form)
{
    if (name.empty())
        return {};
    DOMAIN_CONTROLLER_INFO info;
    if (network_.DsGetDcName(name, form, info) != NERR_Success)
        return {};
    return info.DomainName;
}

std::string NetworkIdentity::dnsToFlatDomainName(const std::string& dnsName)
{
    return translate(dnsName, DS_RETURN_FLAT_NAME);
}

std::string NetworkIdentity::flatToDnsDomainName(const std::string& flatName)
{
    std::string dns = translate(flatName, DS_RETURN_DNS_NAME);
    if (!dns.empty() || flatName.empty() || flatName.find('.') != std::string::npos)
        return dns;
    // The locator finds a flat name only by NetBIOS, which needs a local name
    // server to hear the controller's answer. Ask instead the domains this
    // machine knows by DNS (its resolver's search list, the ticket's or the
    // credentials' realm) which of them has that flat name.
    std::vector<std::string> candidates;
    struct __res_state resolver {};
    if (res_ninit(&resolver) == 0) {
        for (char** d = resolver.dnsrch; d && *d; ++d)
            candidates.emplace_back(*d);
        res_nclose(&resolver);
    }
    if (domain_.find('.') != std::string::npos)
        candidates.push_back(domain_);
    for (const std::string& candidate : candidates) {
        DOMAIN_CONTROLLER_INFO info;
        if (network_.DsGetDcName(candidate, DS_RETURN_FLAT_NAME, info) == NERR_Success
            && equalsIgnoringCase(info.DomainName, flatName))
            return translate(candidate, DS_RETURN_DNS_NAME);
    }
    return {};
}

} // namespace rm
