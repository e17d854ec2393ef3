#pragma once

#include "core/ports/NetStatus.h"

#include <string>

namespace rm {

// "ERROR: " and the sentence for a failed account change's status; statuses
// outside the table as "Unknown error (%u)".
std::string netErrorText(NetStatus status);

} // namespace rm
