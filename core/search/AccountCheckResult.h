#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rm {

// What the check found on one computer; in group mode one entry per local
// member in the four parallel lists.
struct AccountCheckResult {
    bool notMatched = false;
    bool failed = false;
    // The status of the first lookup that set `failed`: why the computer
    // could not be checked, for a caller that tells the reasons apart.
    std::uint32_t failure = 0;
    std::int32_t passwordAge = 0;
    std::string enabled;
    std::string userName;
    std::string localGroups;
    std::vector<std::string> memberEnabled;
    std::vector<std::string> memberNames;
    std::vector<std::string> memberGroups;
    std::vector<std::int32_t> memberPasswordAges;
};

} // namespace rm
