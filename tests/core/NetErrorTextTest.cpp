#include "core/batch/NetErrorText.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

TEST(NetErrorText, EveryStatusOfTheTable)
{
    const std::pair<std::uint32_t, const char*> table[] = {
        {5, "The user does not have access to the requested information."},
        {87, "One of the function parameters is invalid. For more information, see the following Remarks section."},
        {1316, "An account with the new name already exists"},
        {2202, "The specified username is invalid."},
        {2203, "The share name or password is invalid."},
        {2221, "The user name could not be found."},
        {2224, "An account with the new name already exists"},
        {2226, "The operation is allowed only on the primary domain controller of the domain."},
        {2234, "The operation is not allowed on specified special groups, which are user groups, admin groups, local "
               "groups, or guest groups."},
        {2245, "The password is shorter than required. (The password could also be too long, be too recent in its "
               "change history, not have enough unique characters, or not meet another password policy "
               "requirement.)"},
        {2351, "The computer name is invalid."},
        {2452, "The operation is not allowed on the last administrative account."},
    };
    for (const auto& [status, sentence] : table)
        EXPECT_EQ(netErrorText(NetStatus{status}), std::string("ERROR: ") + sentence) << status;
}

TEST(NetErrorText, OtherStatusesAreUnknownErrorsInUnsignedDecimal)
{
    EXPECT_EQ(netErrorText(NetStatus{53}), "ERROR: Unknown error (53)");
    EXPECT_EQ(netErrorText(NetStatus{0}), "ERROR: Unknown error (0)");
    EXPECT_EQ(netErrorText(NetStatus{2222}), "ERROR: Unknown error (2222)");
    EXPECT_EQ(netErrorText(NetStatus{0xC0000022u}), "ERROR: Unknown error (3221225506)");
    EXPECT_EQ(netErrorText(NetStatus{0xFFFFFFFFu}), "ERROR: Unknown error (4294967295)");
}

} // namespace
} // namespace rm
