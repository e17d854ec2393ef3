#pragma once

#include "core/ports/DirectoryClient.h"

#include <lber.h>

typedef struct ldap LDAP;

namespace rm {

// A subtree search read with the paged-results control, one request per
// page. Ending it early tells the server to drop the rest.
class LdapPagedSearch : public DirectoryClient::Search {
public:
    // `ld` outlives this search.
    LdapPagedSearch(LDAP* ld, DirectoryQuery query);
    ~LdapPagedSearch() override;

    bool nextPage(std::vector<DirectoryEntry>& entries) override;

    // Sends the first page's request; false when the search cannot be started.
    bool start();

private:
    bool request(int pageSize);
    bool receive(std::vector<DirectoryEntry>& entries);

    LDAP* ld_;
    const DirectoryQuery query_;
    berval* cookie_ = nullptr;
    int msgid_ = -1;
    bool requested_ = false;
    bool done_ = false;
};

} // namespace rm
