#pragma once

#include "core/search/ComputerTypeText.h"
#include "core/jobs/CancelToken.h"
#include "core/ports/DirectoryClient.h"

#include <string>
#include <vector>

namespace rm {

// The search base of a canonical name ("dns.name" or "dns.name/Unit/Path"):
// "ou=Path,ou=Unit,dc=dns,dc=name". Nothing is escaped.
std::string canonicalToDn(const std::string& canonicalName);

// The directory's computer objects below a canonical name, in the order the
// server gave them. Never an error: any failure gives what was read up to
// then, usually nothing; `bound`, where given, says how the bind ended. A
// cancel stops it between pages.
std::vector<DirectoryComputer> directoryScan(DirectoryClient& client, const std::string& canonicalName,
                                             const CancelToken* cancel = nullptr, bool allowSimpleBind = false,
                                             BindResult* bound = nullptr);

} // namespace rm
