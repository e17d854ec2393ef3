// What the adapter answers for each status a server or the transport gives.
#include "SambaHeaders.h"

#include "helper/net_status.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    NTSTATUS from;
    uint32_t to;
};

TEST(NetStatus, ServerAnswersAsTheOperationTableNamesThem)
{
    const Case cases[] = {
        {NT_STATUS_OK, 0},
        {NT_STATUS_ACCESS_DENIED, 5},
        {NT_STATUS_INVALID_PARAMETER, 87},
        {NT_STATUS_INVALID_PARAMETER_MIX, 87},
        {STATUS_MORE_ENTRIES, 234},
        {NT_STATUS_GROUP_EXISTS, 1316},
        {NT_STATUS_ALIAS_EXISTS, 1316},
        {NT_STATUS_INVALID_ACCOUNT_NAME, 2202},
        {NT_STATUS_WRONG_PASSWORD, 2203},
        {NT_STATUS_NO_SUCH_ALIAS, 2220},
        {NT_STATUS_NO_SUCH_USER, 2221},
        {NT_STATUS_NONE_MAPPED, 2221},
        {NT_STATUS_USER_EXISTS, 2224},
        {NT_STATUS_INVALID_DOMAIN_ROLE, 2226},
        {NT_STATUS_BACKUP_CONTROLLER, 2226},
        {NT_STATUS_SPECIAL_ACCOUNT, 2234},
        {NT_STATUS_SPECIAL_GROUP, 2234},
        {NT_STATUS_SPECIAL_USER, 2234},
        {NT_STATUS_PASSWORD_RESTRICTION, 2245},
        {NT_STATUS_PWD_TOO_SHORT, 2245},
        {NT_STATUS_PWD_TOO_RECENT, 2245},
        {NT_STATUS_PWD_HISTORY_CONFLICT, 2245},
        {NT_STATUS_INVALID_COMPUTER_NAME, 2351},
        {NT_STATUS_LAST_ADMIN, 2452},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rm_status_of_reply(NT_STATUS_V(c.from)), c.to) << nt_errstr(c.from);
}

TEST(NetStatus, TransportFailuresNameThePathOrTheLogon)
{
    const Case cases[] = {
        {NT_STATUS_OK, 0},
        {NT_STATUS_ACCESS_DENIED, 5},
        {NT_STATUS_LOGON_FAILURE, 1326},
        // At session set-up a wrong password is a failed logon, not 2203.
        {NT_STATUS_WRONG_PASSWORD, 1326},
        {NT_STATUS_HOST_UNREACHABLE, 53},
        {NT_STATUS_IO_TIMEOUT, 53},
        {NT_STATUS_NO_MEMORY, 53},
        {NT_STATUS_CONNECTION_RESET, 1722},
        {NT_STATUS_PIPE_BROKEN, 1722},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rm_status_of_connect(NT_STATUS_V(c.from)), c.to) << nt_errstr(c.from);
}

TEST(NetStatus, OthersAsThePlatformsErrorNumbers)
{
    EXPECT_EQ(rm_status_of_reply(NT_STATUS_V(NT_STATUS_ACCOUNT_DISABLED)), 1331u);
    EXPECT_EQ(rm_status_of_connect(NT_STATUS_V(NT_STATUS_ACCOUNT_LOCKED_OUT)), 1909u);
    // A failure whose low bits are zero is still a failure.
    EXPECT_NE(rm_status_of_reply(0xC0AB0000u), 0u);
    EXPECT_NE(rm_status_of_connect(0xC0AB0000u), 0u);
}

} // namespace
