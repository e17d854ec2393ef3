// What a refused change answers, against a real server: every refusal is a
// status the operation table names, and the account stays as it was.
#include "LabSupport.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

class OperationStatusLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    OperatorClient net{lab, 1};

    void TearDown() override
    {
        UserAccount account;
        EXPECT_EQ(net.getUser(ServerName("PC01"), "rmtest", account), NetStatus::Success)
            << "rmtest must be left as it was";
    }
    NetStatus rename(const std::string& user, const std::string& name, const std::string& server = "PC01")
    {
        return net.rename(ServerName(server), user, name);
    }
};

TEST_F(OperationStatusLabTest, ANameNoAccountMayTakeIsABadUsername)
{
    for (const char* bad : {"bad/name", "back\\slash", "x[1]", "a:b", "p|q", "l<g", "g>l", "a+b", "a=b", "a;b",
                            "what?", "st*r", "c,d", "say\"hi", "...", "  ", ". .", "abcdefghijklmnopqrstu"})
        EXPECT_EQ(rename("rmtest", bad), NetStatus::BadUsername) << bad;
    EXPECT_EQ(rename("rmtest", ""), NetStatus::InvalidParameter);
}

TEST_F(OperationStatusLabTest, ANameTakenByAnotherAccount)
{
    EXPECT_EQ(rename("rmtest", "helpdesk"), NetStatus::AccountExists);
    // A local group's or a global group's name is an account's too.
    EXPECT_EQ(rename("rmtest", "Helpdesk Operators"), NetStatus::UserExists);
    EXPECT_EQ(rename("rmtest", "Lab Staff"), NetStatus::UserExists);
    EXPECT_EQ(rename("rmtest", "Administrators"), NetStatus::UserExists);
}

TEST_F(OperationStatusLabTest, NoSuchUserNoSuchComputerNoAccess)
{
    EXPECT_EQ(rename("nosuchuser", "whatever"), NetStatus::UserNotFound);
    EXPECT_EQ(rename("rmtest", "whatever", "\\\\bad name"), NetStatus::InvalidComputer);
    EXPECT_EQ(rename("Administrator", "whatever", "PC05"), NetStatus::AccessDenied);
    EXPECT_EQ(net.setEnabled(ServerName("PC05"), "Administrator", true), NetStatus::AccessDenied);
    EXPECT_EQ(net.setPassword(ServerName("PC05"), "Administrator", Secret::copyOf("x")), NetStatus::AccessDenied);
}

} // namespace
} // namespace rm
