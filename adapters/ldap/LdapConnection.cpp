#include "adapters/ldap/LdapConnection.h"

#include "core/ports/Wipe.h"
#include "adapters/ldap/LdapPagedSearch.h"
#include "adapters/ldap/MemoryTicket.h"

#include <gssapi/gssapi_krb5.h>
#include <ldap.h>
#include <sasl/sasl.h>

namespace rm {
namespace {

// How long a connect or the bind's answer may take.
constexpr int AnswerSeconds = 60;

// GSSAPI asks for nothing; anything else asked gets its default or nothing.
int noPrompts(LDAP*, unsigned, void*, void* interactions)
{
    for (auto* i = static_cast<sasl_interact_t*>(interactions); i->id != SASL_CB_LIST_END; ++i) {
        i->result = i->defresult ? i->defresult : "";
        i->len = static_cast<unsigned>(std::char_traits<char>::length(static_cast<const char*>(i->result)));
    }
    return LDAP_SUCCESS;
}

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The GSSAPI layer of this thread takes its credentials from `cache` until
// this goes out of scope.
class ThreadCredentialsCache {
public:
    explicit ThreadCredentialsCache(const std::string& cache)
    {
        OM_uint32 minor = 0;
        set_ = gss_krb5_ccache_name(&minor, cache.c_str(), nullptr) == GSS_S_COMPLETE;
    }
    ~ThreadCredentialsCache()
    {
        OM_uint32 minor = 0;
        if (set_)
            gss_krb5_ccache_name(&minor, nullptr, nullptr); // back to the default
    }
    bool set() const { return set_; }

private:
    bool set_ = false;
};

bool unreachable(int status)
{
    return status == LDAP_SERVER_DOWN || status == LDAP_CONNECT_ERROR || status == LDAP_TIMEOUT;
}

} // namespace

LdapConnection::LdapConnection(std::vector<std::string> servers, Identity identity)
    : servers_(std::move(servers)), identity_(std::move(identity))
{
}

LdapConnection::~LdapConnection()
{
    if (ld_)
        ldap_unbind_ext_s(ld_, nullptr, nullptr);
    wipe(identity_.password);
}

std::string LdapConnection::principalOf(const std::string& account, const std::string& realm)
{
    if (auto slash = account.find('\\'); slash != std::string::npos)
        return account.substr(slash + 1) + "@" + upper(realm);
    if (auto at = account.rfind('@'); at != std::string::npos)
        return account.substr(0, at) + "@" + upper(account.substr(at + 1));
    return account + "@" + upper(realm);
}

bool LdapConnection::bind()
{
    for (const std::string& server : servers_) {
        const int status = bindTo(server);
        if (status == LDAP_SUCCESS)
            return bound_ = true;
        if (ld_)
            ldap_unbind_ext_s(ld_, nullptr, nullptr);
        ld_ = nullptr;
        if (!unreachable(status))
            return false; // refused: another server of the domain would refuse too
    }
    return false;
}

int LdapConnection::bindTo(const std::string& server)
{
    const std::string uri = "ldap://" + server + ":389";
    if (ldap_initialize(&ld_, uri.c_str()) != LDAP_SUCCESS)
        return LDAP_CONNECT_ERROR;
    const int version = LDAP_VERSION3;
    const timeval answer{AnswerSeconds, 0};
    ldap_set_option(ld_, LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld_, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    ldap_set_option(ld_, LDAP_OPT_NETWORK_TIMEOUT, &answer);
    ldap_set_option(ld_, LDAP_OPT_TIMEOUT, &answer);
    // The server's own name: reverse look-ups of its address may name nothing.
    ldap_set_option(ld_, LDAP_OPT_X_SASL_NOCANON, LDAP_OPT_ON);

    if (identity_.account.empty())
        return saslBind();
    MemoryTicket ticket(principalOf(identity_.account, identity_.realm), identity_.password);
    if (ticket.valid()) {
        ThreadCredentialsCache cache(ticket.cacheName());
        return cache.set() ? saslBind() : LDAP_LOCAL_ERROR;
    }
    return ticket.kdcUnreachable() ? protectedSimpleBind() : LDAP_INVALID_CREDENTIALS;
}

int LdapConnection::saslBind()
{
    return ldap_sasl_interactive_bind_s(ld_, nullptr, "GSSAPI", nullptr, nullptr, LDAP_SASL_QUIET, noPrompts,
                                        nullptr);
}

int LdapConnection::protectedSimpleBind()
{
    // StartTLS verifies the server's certificate; without it, no password goes out.
    if (const int status = ldap_start_tls_s(ld_, nullptr, nullptr); status != LDAP_SUCCESS)
        return unreachable(status) ? status : LDAP_CONFIDENTIALITY_REQUIRED;
    berval password{static_cast<ber_len_t>(identity_.password.size()), identity_.password.data()};
    return ldap_sasl_bind_s(ld_, identity_.account.c_str(), LDAP_SASL_SIMPLE, &password, nullptr, nullptr, nullptr);
}

std::unique_ptr<DirectoryClient::Search> LdapConnection::searchPaged(const DirectoryQuery& query)
{
    if (!bound_)
        return nullptr;
    auto search = std::make_unique<LdapPagedSearch>(ld_, query);
    if (!search->start())
        return nullptr;
    return search;
}

} // namespace rm
