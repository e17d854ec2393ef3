#pragma once

#include "core/ports/Secret.h"

#include <string>

namespace rm {

// Where the account the user gives goes: the network calls act with it from
// then on. "DOMAIN\user", "user@REALM" or a plain name; an empty account and
// password mean the user's own Kerberos ticket. Kept in memory only.
class NetworkCredentials {
public:
    virtual ~NetworkCredentials() = default;
    virtual void setCredentials(const std::string& account, const Secret& password) = 0;
};

} // namespace rm
