#include "LabSupport.h"
#include "core/search/DefaultDomainName.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace rm {
namespace {

using namespace std::chrono_literals;

class NetworkIdentityTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    NetApiClient net{helperSettings(2)};
    int asked = 0;

    void SetUp() override { (void)!std::system("kdestroy -q 2>/dev/null"); }
    void TearDown() override { (void)!std::system("kdestroy -q 2>/dev/null"); }

    NetworkIdentity identityAnswering(bool give)
    {
        return NetworkIdentity(net, net, [this, give](std::string& account, Secret& password) {
            ++asked;
            account = lab.operatorAccount();
            password = Secret::copyOf(lab.operatorPassword());
            return give;
        });
    }
};

TEST_F(NetworkIdentityTest, GivenCredentialsAreAskedForOnceAndNameTheDomain)
{
    NetworkIdentity identity = identityAnswering(true);
    EXPECT_TRUE(identity.ensureCredentials());
    std::string user, domain;
    ASSERT_TRUE(identity.currentUserDomain(user, domain));
    EXPECT_EQ(user, lab.json["operator"]["user"]);
    EXPECT_EQ(domain, lab.json["domain"]["netbios"]);
    EXPECT_EQ(identity.flatToDnsDomainName(lab.json["domain"]["netbios"]), lab.json["domain"]["dnsName"]);
    EXPECT_EQ(identity.dnsToFlatDomainName(lab.json["domain"]["dnsName"]), lab.json["domain"]["netbios"]);
    EXPECT_EQ(identity.dnsToFlatDomainName("nowhere.example"), "");
    EXPECT_EQ(identity.flatToDnsDomainName(""), "");
    EXPECT_EQ(defaultDomainName(identity), lab.json["domain"]["dnsName"]);
    EXPECT_TRUE(identity.ensureCredentials());
    EXPECT_EQ(asked, 1);
    // The network calls act with them.
    UserAccount account;
    EXPECT_EQ(net.getUser(ServerName("PC01"), "Administrator", account), NetStatus::Success);
}

TEST_F(NetworkIdentityTest, WithoutTicketOrCredentialsTheMachinesRealmNamesTheDomainWithoutAsking)
{
    NetworkIdentity identity = identityAnswering(false);
    std::string user, domain;
    ASSERT_TRUE(identity.currentUserDomain(user, domain));
    const passwd* self = ::getpwuid(::getuid());
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(user, self->pw_name);
    // The lab's client knows its domain only from its resolver's search list.
    EXPECT_EQ(domain, lab.json["domain"]["netbios"]);
    EXPECT_EQ(defaultDomainName(identity), lab.json["domain"]["dnsName"]);
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(identity.ensureCredentials());
    EXPECT_EQ(asked, 1);
}

TEST_F(NetworkIdentityTest, ATicketIsUsedWithoutAsking)
{
    ASSERT_TRUE(lab.kinitOperator());
    std::string user, realm;
    ASSERT_TRUE(NetworkIdentity::ticketPrincipal(user, realm));
    EXPECT_EQ(realm, lab.json["domain"]["realm"]);
    NetworkIdentity identity = identityAnswering(true);
    std::string domain;
    ASSERT_TRUE(identity.currentUserDomain(user, domain));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(user, lab.json["operator"]["user"]);
    EXPECT_EQ(domain, lab.json["domain"]["netbios"]);
    // The controller accepts the ticket.
    std::vector<MachineAccount> machines;
    const ServerName dc(lab.json["domain"]["controller"]["name"].get<std::string>());
    const NetStatus status = net.machineAccounts(dc, 0, 100, machines);
    EXPECT_EQ(status, NetStatus::MoreData); // the directory holds hundreds
    EXPECT_FALSE(machines.empty());
}

TEST_F(NetworkIdentityTest, NoTicketWithoutKinit)
{
    std::string user, realm;
    EXPECT_FALSE(NetworkIdentity::ticketPrincipal(user, realm));
}

} // namespace
} // namespace rm
