#include "adapters/ldap/LdapPagedSearch.h"

#include <ldap.h>

namespace rm {
namespace {

DirectoryEntry readEntry(LDAP* ld, LDAPMessage* entry)
{
    DirectoryEntry attributes;
    BerElement* ber = nullptr;
    for (char* name = ldap_first_attribute(ld, entry, &ber); name; name = ldap_next_attribute(ld, entry, ber)) {
        DirectoryAttribute a{name, {}};
        if (berval** values = ldap_get_values_len(ld, entry, name)) {
            for (berval** v = values; *v; ++v)
                a.values.emplace_back((*v)->bv_val, (*v)->bv_len);
            ldap_value_free_len(values);
        }
        attributes.push_back(std::move(a));
        ldap_memfree(name);
    }
    if (ber)
        ber_free(ber, 0);
    return attributes;
}

} // namespace

LdapPagedSearch::LdapPagedSearch(LDAP* ld, DirectoryQuery query) : ld_(ld), query_(std::move(query)) {}

LdapPagedSearch::~LdapPagedSearch()
{
    if (requested_ && msgid_ >= 0) // a page still on its way
        ldap_abandon_ext(ld_, msgid_, nullptr, nullptr);
    else if (!done_ && cookie_ && cookie_->bv_len > 0)
        request(0); // a page size of 0 ends a paged search; its answer is not awaited
    if (cookie_)
        ber_bvfree(cookie_);
}

bool LdapPagedSearch::start()
{
    const int limit = static_cast<int>(query_.serverTimeLimit.count());
    if (ldap_set_option(ld_, LDAP_OPT_TIMELIMIT, &limit) != LDAP_OPT_SUCCESS)
        return false;
    requested_ = request(query_.pageSize);
    done_ = !requested_;
    return requested_;
}

bool LdapPagedSearch::request(int pageSize)
{
    LDAPControl* page = nullptr;
    berval empty{0, nullptr};
    if (ldap_create_page_control(ld_, pageSize, cookie_ ? cookie_ : &empty, 0, &page) != LDAP_SUCCESS)
        return false;
    std::vector<char*> attributes;
    for (const std::string& a : query_.attributes)
        attributes.push_back(const_cast<char*>(a.c_str()));
    attributes.push_back(nullptr);
    LDAPControl* controls[] = {page, nullptr};
    // No time-out here: the server's limit is the connection's, the client's wait is receive()'s.
    const int rc = ldap_search_ext(ld_, query_.base.c_str(), LDAP_SCOPE_SUBTREE, query_.filter.c_str(),
                                   attributes.data(), 0, controls, nullptr, nullptr, 0, &msgid_);
    ldap_control_free(page);
    if (rc != LDAP_SUCCESS)
        msgid_ = -1;
    return rc == LDAP_SUCCESS;
}

bool LdapPagedSearch::nextPage(std::vector<DirectoryEntry>& entries)
{
    if (done_)
        return false;
    if (!requested_ && !(requested_ = request(query_.pageSize))) {
        done_ = true;
        return false;
    }
    requested_ = false;
    if (!receive(entries)) {
        done_ = true;
        return false;
    }
    return true;
}

bool LdapPagedSearch::receive(std::vector<DirectoryEntry>& entries)
{
    timeval wait{static_cast<time_t>(query_.pageWait.count()), 0};
    LDAPMessage* result = nullptr;
    // The whole page or nothing: the answer is the type of the chain's first message.
    const int kind = ldap_result(ld_, msgid_, LDAP_MSG_ALL, &wait, &result);
    if (kind <= 0) {
        if (kind == 0) // no whole page in time
            ldap_abandon_ext(ld_, msgid_, nullptr, nullptr);
        msgid_ = -1;
        if (result)
            ldap_msgfree(result);
        return false;
    }
    msgid_ = -1;
    int status = LDAP_OTHER;
    LDAPControl** controls = nullptr;
    bool ok = ldap_parse_result(ld_, result, &status, nullptr, nullptr, nullptr, &controls, 0) == LDAP_SUCCESS
        && status == LDAP_SUCCESS;
    if (ok) {
        // References to other naming contexts are not followed.
        for (LDAPMessage* e = ldap_first_entry(ld_, result); e; e = ldap_next_entry(ld_, e))
            entries.push_back(readEntry(ld_, e));
        if (cookie_) {
            ber_bvfree(cookie_);
            cookie_ = nullptr;
        }
        berval cookie{0, nullptr};
        ber_int_t estimate = 0;
        LDAPControl* response = ldap_control_find(LDAP_CONTROL_PAGEDRESULTS, controls, nullptr);
        // Without the control the server did not page: this was everything.
        if (response && ldap_parse_pageresponse_control(ld_, response, &estimate, &cookie) == LDAP_SUCCESS
            && cookie.bv_len > 0)
            cookie_ = ber_bvdup(&cookie);
        else
            done_ = true;
        if (cookie.bv_val)
            ber_memfree(cookie.bv_val);
    }
    if (controls)
        ldap_controls_free(controls);
    ldap_msgfree(result);
    return ok;
}

} // namespace rm
