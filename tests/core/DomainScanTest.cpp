#include "core/messages/SearchMessages.h"
#include "core/search/DomainScan.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/FakeNetwork.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

// A computer object with the attributes that are not empty.
DirectoryEntry object(const std::string& name, const std::string& os, const std::string& pack = "")
{
    DirectoryEntry e{{"name", {name}}, {"operatingSystem", {os}}, {"operatingSystemServicePack", {pack}}};
    std::erase_if(e, [](const DirectoryAttribute& a) { return a.values[0].empty(); });
    return e;
}

class DomainScanTest : public ::testing::Test {
protected:
    FakeNetwork network;
    FakeIdentity identity;
    FakeDirectory directory;
    SearchOptions options;
    Progress<SearchProgress> progress;
    CancelToken cancel;
    DiscoveryNotice notice = DiscoveryNotice::None;
    NetStatus hiddenScanFailure = NetStatus::Success;

    void SetUp() override
    {
        identity.flat = "LAB";
        identity.dns = "lab.example";
    }
    // One whole scan; what it has to say beside its list is kept.
    std::vector<FoundComputer> scan(const std::string& domain = "lab.example")
    {
        DomainScan scan(domain, options, {network, identity, directory});
        scan.run(progress, cancel);
        EXPECT_FALSE(progress.value().discovery.listing);
        notice = scan.notice();
        hiddenScanFailure = scan.hiddenScanFailure();
        return scan.computers();
    }
    static BrowseEntry entry(const char* name, std::uint32_t type, std::uint32_t major, std::uint32_t minor)
    {
        return {name, type, major, minor};
    }
};

TEST_F(DomainScanTest, BrowseListWithTheControllersHiddenAccounts)
{
    network.browseEntries = {entry("DC1", BrowseType::DomainController | BrowseType::ServerNt, 5, 2),
                             entry("PC1", BrowseType::Nt, 5, 1), entry("pc042", BrowseType::Nt, 6, 1)};
    network.controller = "DC1";
    network.machineAccountNames = {"DC1$", "PC042$", "HIDDEN$", "NODOLLAR"};
    options.scanHidden = true;
    const auto found = scan();
    EXPECT_EQ(network.enumeratedDomains, std::vector<std::string>{"LAB"});
    EXPECT_EQ(found, (std::vector<FoundComputer>{{"DC1", "Server (PDC) (Win2003)"},
                                                 {"PC1", "Workstation (WinXP)"},
                                                 {"pc042", "Workstation"},
                                                 {"HIDDEN", "Unknown (Hidden)"},
                                                 {"NODOLLAR", "Unknown (Hidden)"}}));
    EXPECT_EQ(notice, DiscoveryNotice::None);
}

TEST_F(DomainScanTest, HiddenAccountsArePagedAndCompareWithTheWholeList)
{
    network.browseEntries = {entry("DC1", BrowseType::DomainController, 5, 2)};
    network.controller = "DC1";
    for (int i = 0; i < 2500; ++i)
        network.machineAccountNames.push_back("M" + std::to_string(i) + "$");
    network.machineAccountNames.push_back("m7$"); // found by this very scan already
    const auto found = scan();
    EXPECT_EQ(found.size(), 2501u);
}

TEST_F(DomainScanTest, AControllerThatAlwaysHasMoreIsLeftWhenNothingNewComes)
{
    network.browseEntries = {entry("DC1", BrowseType::DomainController, 5, 2)};
    network.controller = "DC1";
    // New names for five pages, then the same page over and over.
    network.onDisplayPage = [](std::uint32_t index, std::vector<MachineAccount>& page) {
        const std::uint32_t first = std::min<std::uint32_t>(index, 5);
        page.push_back({"M" + std::to_string(first) + "$", first + 1});
        return NetStatus::MoreData;
    };
    const auto found = scan();
    EXPECT_EQ(found.size(), 1u + 6u);
    EXPECT_EQ(network.displayPages.load(), 6 + DomainScan::MaxPagesWithNothingNew);
}

TEST_F(DomainScanTest, ACancelStopsTheHiddenScanBetweenPages)
{
    network.browseEntries = {entry("DC1", BrowseType::DomainController, 5, 2)};
    network.controller = "DC1";
    network.onDisplayPage = [&](std::uint32_t index, std::vector<MachineAccount>& page) {
        page.push_back({"M" + std::to_string(index) + "$", index + 1});
        if (index == 3)
            cancel.cancel();
        return NetStatus::MoreData; // for ever, each page new
    };
    EXPECT_EQ(scan().size(), 1u + 4u); // what was found stays
    EXPECT_EQ(network.displayPages.load(), 4);
}

TEST_F(DomainScanTest, ServersOnlyDropsWorkstationsAndSkipsTheHiddenScan)
{
    network.browseEntries = {entry("SRV", BrowseType::ServerNt, 5, 0), entry("WS", BrowseType::Nt, 5, 0)};
    options.serversOnly = true;
    EXPECT_EQ(scan(), (std::vector<FoundComputer>{{"SRV", "Server (Win2K)"}}));
    EXPECT_EQ(notice, DiscoveryNotice::None); // no controller, but no hidden scan either
}

TEST_F(DomainScanTest, NoControllerIsAPartialFailureOnlyWithComputers)
{
    network.browseEntries = {entry("WS", BrowseType::Nt, 5, 0)};
    EXPECT_EQ(scan().size(), 1u);
    EXPECT_EQ(notice, DiscoveryNotice::NoControllerForHidden);
    EXPECT_EQ(discoveryNoticeMessage(notice), (Message{"Partial Failure", "Cannot scan for hidden computers; no PDC "
                                                       "found.", MessageButtons::Ok, MessageIcon::Exclamation}));
    network.browseEntries.clear();
    EXPECT_TRUE(scan().empty());
    EXPECT_EQ(notice, DiscoveryNotice::None);
}

TEST_F(DomainScanTest, FailingBrowseListAndMachineAccountQuery)
{
    network.browseStatus = NetStatus{6118};
    network.browseEntries = {entry("WS", BrowseType::Nt, 5, 0)};
    options.scanHidden = false;
    EXPECT_TRUE(scan().empty());

    network.browseStatus = NetStatus::MoreData; // taken as success
    network.browseEntries = {entry("DC1", BrowseType::DomainController, 5, 0)};
    network.controller = "DC1";
    network.machineAccountNames = {"X$"};
    network.displayStatus = NetStatus::AccessDenied;
    options.scanHidden = true;
    EXPECT_EQ(scan().size(), 1u);
    EXPECT_EQ(hiddenScanFailure, NetStatus::AccessDenied);
}

TEST_F(DomainScanTest, UnknownDomainWorksInBrowseModeAsTyped)
{
    identity.flat.clear();
    identity.dns.clear();
    network.browseEntries = {entry("WS", BrowseType::Nt, 5, 0)};
    options.scanHidden = false;
    scan("WORKGROUP");
    EXPECT_EQ(network.enumeratedDomains, std::vector<std::string>{"WORKGROUP"});
}

TEST_F(DomainScanTest, APasswordBindTurnedOffOrNotTrustedIsSaid)
{
    options.method = DiscoveryMethod::Directory;
    options.scanHidden = false;
    directory.bindAccepted = false;
    directory.refusal = BindResult::SimpleBindOff;
    EXPECT_TRUE(scan().empty());
    EXPECT_FALSE(directory.simpleBindAllowed);
    EXPECT_EQ(notice, DiscoveryNotice::SimpleBindOff);
    const auto message = discoveryNoticeMessage(notice);
    ASSERT_TRUE(message);
    EXPECT_NE(message->text.find("\"AllowSimpleBind\"=dword:00000001"), std::string::npos);

    options.allowSimpleBind = true;
    directory.refusal = BindResult::ServerNotTrusted;
    EXPECT_TRUE(scan().empty());
    EXPECT_TRUE(directory.simpleBindAllowed);
    EXPECT_EQ(notice, DiscoveryNotice::DirectoryNotTrusted);
    // A plain refusal stays silent, as before.
    directory.refusal = BindResult::Refused;
    scan();
    EXPECT_EQ(notice, DiscoveryNotice::None);
}

TEST_F(DomainScanTest, DirectoryModeNeedsADirectory)
{
    identity.flat.clear();
    identity.dns.clear();
    options.method = DiscoveryMethod::Directory;
    EXPECT_TRUE(scan("nowhere").empty());
    EXPECT_EQ(notice, DiscoveryNotice::NoDirectory);
    const auto message = discoveryNoticeMessage(notice);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->title, "Error");
    EXPECT_EQ(message->text,
              "The specified domain does not appear to support Active Directory, so an LDAP scan cannot be "
              "performed.  Please double-check the settings in Search Options.");
    EXPECT_TRUE(directory.domains.empty());
}

TEST_F(DomainScanTest, DirectoryModeWithAndWithoutAUnit)
{
    options.method = DiscoveryMethod::Directory;
    bool listing = false;
    directory.onPage = [&](std::size_t) { listing = progress.value().discovery.listing; };
    directory.pages = {
        {object("DC1", "Windows Server 2003"), object("WS1", "Windows XP Professional", "Service Pack 2")},
        {object("", "")}};
    network.controller = "DC1";
    network.machineAccountNames = {"DC1$", "GHOST$"};
    const auto found = scan();
    EXPECT_TRUE(listing); // while the directory is read
    EXPECT_EQ(directory.domains, std::vector<std::string>{"lab.example"});
    EXPECT_EQ(directory.queries.back().base, "dc=lab,dc=example");
    EXPECT_EQ(found, (std::vector<FoundComputer>{{"DC1", "Server (PDC) (WinServer 2003)"},
                                                 {"WS1", "Workstation (WinXP SP2)"},
                                                 {"", "Unknown"},
                                                 {"GHOST", "Unknown (Hidden)"}}));

    options.restrictToOrgUnit = true;
    options.orgUnit = "Sales/East";
    options.serversOnly = true;
    directory.pagesAsked = 0;
    EXPECT_EQ(scan("LAB"), (std::vector<FoundComputer>{{"DC1", "Server (WinServer 2003)"}}));
    EXPECT_EQ(directory.domains.back(), "lab.example");
    EXPECT_EQ(directory.queries.back().base, "ou=East,ou=Sales,dc=lab,dc=example");
}

} // namespace
} // namespace rm
