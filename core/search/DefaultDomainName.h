#pragma once

#include "core/ports/CurrentIdentity.h"

#include <string>

namespace rm {

// The DNS name of the running user's domain, else its NetBIOS name, else
// empty. It may wait on the network.
std::string defaultDomainName(CurrentIdentity& identity);

} // namespace rm
