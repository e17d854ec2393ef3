// What a refused change answers, against a real server: every refusal is a
// status the operation table names, and the account stays as it was.
#include "adapters/netapi/NetApiClient.h"
#include "support/LabManifest.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

using namespace std::chrono_literals;

class OperationStatusLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    NetApiClient net{{HELPER_PATH, 1, 30000ms}};
    const std::string host = "\\\\PC01";

    void SetUp() override { net.setCredentials(lab.operatorAccount(), lab.operatorPassword()); }
    void TearDown() override
    {
        USER_INFO_1 info;
        EXPECT_EQ(net.NetUserGetInfo(host, "rmtest", info), NERR_Success) << "rmtest must be left as it was";
    }
    NetStatus rename(const std::string& user, const std::string& name, const std::string& server = "")
    {
        return net.NetUserSetInfo(server.empty() ? host : server, user, USER_INFO_0{name});
    }
};

TEST_F(OperationStatusLabTest, ANameNoAccountMayTakeIsABadUsername)
{
    for (const char* bad : {"bad/name", "back\\slash", "x[1]", "a:b", "p|q", "l<g", "g>l", "a+b", "a=b", "a;b",
                            "what?", "st*r", "c,d", "say\"hi", "...", "  ", ". .", "abcdefghijklmnopqrstu"})
        EXPECT_EQ(rename("rmtest", bad), NERR_BadUsername) << bad;
    EXPECT_EQ(rename("rmtest", ""), ERROR_INVALID_PARAMETER);
}

TEST_F(OperationStatusLabTest, ANameTakenByAnotherAccount)
{
    EXPECT_EQ(rename("rmtest", "helpdesk"), NERR_UserExists);
    // A local group's or a global group's name is an account's too.
    EXPECT_EQ(rename("rmtest", "Helpdesk Operators"), ERROR_USER_EXISTS);
    EXPECT_EQ(rename("rmtest", "Lab Staff"), ERROR_USER_EXISTS);
    EXPECT_EQ(rename("rmtest", "Administrators"), ERROR_USER_EXISTS);
}

TEST_F(OperationStatusLabTest, NoSuchUserNoSuchComputerNoAccess)
{
    EXPECT_EQ(rename("nosuchuser", "whatever"), NERR_UserNotFound);
    EXPECT_EQ(rename("rmtest", "whatever", "\\\\bad name"), NERR_InvalidComputer);
    EXPECT_EQ(rename("Administrator", "whatever", "\\\\PC05"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(net.NetUserSetInfo("\\\\PC05", "Administrator", USER_INFO_1008{UF_SCRIPT}), ERROR_ACCESS_DENIED);
}

} // namespace
} // namespace rm
