#pragma once

#include "platform/CurrentIdentity.h"

#include <string>

namespace rm {

// The DNS name of the running user's domain, else its NetBIOS name, else empty.
std::string defaultDomainName(CurrentIdentity& identity);

} // namespace rm
