#include "adapters/ldap/LdapConnection.h"

#include "core/ports/Wipe.h"
#include "adapters/ldap/LdapPagedSearch.h"
#include "adapters/ldap/MemoryTicket.h"

#include <gssapi/gssapi_krb5.h>
#include <ldap.h>
#include <sasl/sasl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

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

// The system's LDAP configuration, trusted only while root alone can write it.
const char* const SystemConfiguration = "/etc/ldap/ldap.conf";
const char* const SystemBundle = "/etc/ssl/certs/ca-certificates.crt";

// The server names come from DNS, which no one vouches for: the name its
// certificate must prove is at least one of the domain's own.
bool withinDomain(std::string host, std::string domain)
{
    host = upper(host);
    domain = upper(domain);
    if (!host.empty() && host.back() == '.')
        host.pop_back();
    if (!domain.empty() && domain.back() == '.')
        domain.pop_back();
    if (domain.empty())
        return false;
    return host == domain
        || (host.size() > domain.size() + 1 && host.compare(host.size() - domain.size(), domain.size(), domain) == 0
            && host[host.size() - domain.size() - 1] == '.');
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

BindResult resultOf(int status)
{
    if (status == LDAP_SUCCESS)
        return BindResult::Bound;
    return unreachable(status) ? BindResult::Unreachable : BindResult::Refused;
}

} // namespace

LdapConnection::LdapConnection(std::string domain, std::vector<std::string> servers, Identity identity,
                               TrustAnchors anchors)
    : domain_(std::move(domain)), servers_(std::move(servers)), identity_(std::move(identity)),
      anchors_(std::move(anchors))
{
}

void LdapConnection::ignoreUserConfiguration()
{
    // libldap reads its files and variables once, at its first use in the
    // process; this variable skips all of them, the system file too, whose
    // trust anchors systemTrustAnchors reads instead.
    ::setenv("LDAPNOINIT", "1", 1);
}

LdapConnection::TrustAnchors LdapConnection::systemTrustAnchors()
{
    TrustAnchors anchors;
    struct stat st {};
    std::ifstream conf;
    if (::stat(SystemConfiguration, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == 0
        && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        conf.open(SystemConfiguration);
    for (std::string line; std::getline(conf, line);) {
        std::istringstream words(line);
        std::string key, value;
        words >> key;
        std::getline(words >> std::ws, value);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
            value.pop_back();
        key = upper(key);
        if (key == "TLS_CACERT")
            anchors.file = value;
        else if (key == "TLS_CACERTDIR")
            anchors.folder = value;
    }
    if (anchors.file.empty() && anchors.folder.empty())
        anchors.file = SystemBundle;
    return anchors;
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

BindResult LdapConnection::bind(bool allowSimpleBind)
{
    for (const std::string& server : servers_) {
        const BindResult result = bindTo(server, allowSimpleBind);
        if (result == BindResult::Bound) {
            bound_ = true;
            return result;
        }
        if (ld_)
            ldap_unbind_ext_s(ld_, nullptr, nullptr);
        ld_ = nullptr;
        if (result != BindResult::Unreachable)
            return result; // refused: another server of the domain would refuse too
    }
    return BindResult::Unreachable;
}

BindResult LdapConnection::bindTo(const std::string& server, bool allowSimpleBind)
{
    const std::string uri = "ldap://" + server + ":389";
    if (ldap_initialize(&ld_, uri.c_str()) != LDAP_SUCCESS)
        return BindResult::Unreachable;
    const int version = LDAP_VERSION3;
    const timeval answer{AnswerSeconds, 0};
    ldap_set_option(ld_, LDAP_OPT_PROTOCOL_VERSION, &version);
    ldap_set_option(ld_, LDAP_OPT_REFERRALS, LDAP_OPT_OFF);
    ldap_set_option(ld_, LDAP_OPT_NETWORK_TIMEOUT, &answer);
    ldap_set_option(ld_, LDAP_OPT_TIMEOUT, &answer);
    // The server's own name: reverse look-ups of its address may name nothing.
    ldap_set_option(ld_, LDAP_OPT_X_SASL_NOCANON, LDAP_OPT_ON);

    if (identity_.account.empty())
        return resultOf(saslBind());
    MemoryTicket ticket(principalOf(identity_.account, identity_.realm), identity_.password);
    if (ticket.valid()) {
        ThreadCredentialsCache cache(ticket.cacheName());
        return resultOf(cache.set() ? saslBind() : LDAP_LOCAL_ERROR);
    }
    if (!ticket.kdcUnreachable())
        return BindResult::Refused;
    // A forged DNS answer alone can make the realm's Kerberos servers unreachable.
    return allowSimpleBind ? protectedSimpleBind(server) : BindResult::SimpleBindOff;
}

int LdapConnection::saslBind()
{
    return ldap_sasl_interactive_bind_s(ld_, nullptr, "GSSAPI", nullptr, nullptr, LDAP_SASL_QUIET, noPrompts,
                                        nullptr);
}

int LdapConnection::startVerifiedTls()
{
    // All on this handle, in a TLS context of its own: nothing global, which
    // another part of the process could have loosened, takes part.
    const int hard = LDAP_OPT_X_TLS_HARD;
    // A certificate with names must name this server; one without any is
    // checked by its common name (as the controller's own generated one).
    const int namesIfAny = LDAP_OPT_X_TLS_TRY;
    const int minimum = LDAP_OPT_X_TLS_PROTOCOL_TLS1_2;
    const int client = 0;
    const char* file = anchors_.file.empty() ? nullptr : anchors_.file.c_str();
    const char* folder = anchors_.folder.empty() ? nullptr : anchors_.folder.c_str();
    const bool set = ldap_set_option(ld_, LDAP_OPT_X_TLS_REQUIRE_CERT, &hard) == LDAP_OPT_SUCCESS
        && ldap_set_option(ld_, LDAP_OPT_X_TLS_REQUIRE_SAN, &namesIfAny) == LDAP_OPT_SUCCESS
        && ldap_set_option(ld_, LDAP_OPT_X_TLS_PROTOCOL_MIN, &minimum) == LDAP_OPT_SUCCESS
        && ldap_set_option(ld_, LDAP_OPT_X_TLS_CACERTFILE, file) == LDAP_OPT_SUCCESS
        && ldap_set_option(ld_, LDAP_OPT_X_TLS_CACERTDIR, folder) == LDAP_OPT_SUCCESS
        && ldap_set_option(ld_, LDAP_OPT_X_TLS_NEWCTX, &client) == LDAP_OPT_SUCCESS;
    if (!set)
        return LDAP_LOCAL_ERROR;
    // With a hard requirement libldap checks the URI's host against the certificate.
    return ldap_start_tls_s(ld_, nullptr, nullptr);
}

BindResult LdapConnection::protectedSimpleBind(const std::string& server)
{
    if (!withinDomain(server, domain_))
        return BindResult::ServerNotTrusted;
    const int tls = startVerifiedTls();
    if (tls == LDAP_SERVER_DOWN || tls == LDAP_TIMEOUT)
        return BindResult::Unreachable;
    if (tls != LDAP_SUCCESS)
        return BindResult::ServerNotTrusted; // no password goes out
    berval password{static_cast<ber_len_t>(identity_.password.size()), identity_.password.data()};
    return resultOf(
        ldap_sasl_bind_s(ld_, identity_.account.c_str(), LDAP_SASL_SIMPLE, &password, nullptr, nullptr, nullptr));
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
