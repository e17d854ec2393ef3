#include "adapters/ldap/MemoryTicket.h"

#include <krb5.h>

namespace rm {

MemoryTicket::MemoryTicket(const std::string& principal, const std::string& password)
{
    krb5_error_code e = krb5_init_context(&context_);
    if (e != 0) {
        error_ = e;
        context_ = nullptr;
        return;
    }
    krb5_principal client = nullptr;
    krb5_get_init_creds_opt* options = nullptr;
    krb5_creds creds{};
    bool haveCreds = false;
    krb5_ccache cache = nullptr;
    e = krb5_parse_name(context_, principal.c_str(), &client);
    if (e == 0)
        e = krb5_get_init_creds_opt_alloc(context_, &options);
    if (e == 0) {
        // No prompter: an expired password fails instead of asking on a terminal.
        e = krb5_get_init_creds_password(context_, &creds, client, password.c_str(), nullptr, nullptr, 0, nullptr,
                                         options);
        haveCreds = e == 0;
    }
    if (e == 0)
        e = krb5_cc_new_unique(context_, "MEMORY", nullptr, &cache);
    if (e == 0)
        e = krb5_cc_initialize(context_, cache, client);
    if (e == 0)
        e = krb5_cc_store_cred(context_, cache, &creds);
    if (e == 0) {
        cache_ = cache;
        name_ = std::string("MEMORY:") + krb5_cc_get_name(context_, cache);
    } else if (cache) {
        krb5_cc_destroy(context_, cache);
    }
    error_ = e;
    if (haveCreds)
        krb5_free_cred_contents(context_, &creds); // wipes the session key too
    if (options)
        krb5_get_init_creds_opt_free(context_, options);
    if (client)
        krb5_free_principal(context_, client);
}

MemoryTicket::~MemoryTicket()
{
    if (cache_)
        krb5_cc_destroy(context_, cache_);
    if (context_)
        krb5_free_context(context_);
}

bool MemoryTicket::kdcUnreachable() const
{
    return error_ == KRB5_KDC_UNREACH || error_ == KRB5_REALM_CANT_RESOLVE || error_ == KRB5_REALM_UNKNOWN;
}

} // namespace rm
