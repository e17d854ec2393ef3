#include "core/search/DomainScanWorker.h"
#include "support/Doubles.h"
#include "support/FakeDirectory.h"
#include "support/FakeNetwork.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rm {
namespace {

// A computer object with the attributes that are not empty.
DirectoryEntry object(const std::string& name, const std::string& os, const std::string& pack = "")
{
    DirectoryEntry e{{"name", {name}}, {"operatingSystem", {os}}, {"operatingSystemServicePack", {pack}}};
    std::erase_if(e, [](const DirectoryAttribute& a) { return a.values[0].empty(); });
    return e;
}

class DomainScanWorkerTest : public ::testing::Test {
protected:
    FakeNetwork network;
    FakeIdentity identity;
    FakeDirectory directory;
    ScriptedPrompter prompter;
    CountingWaitCursor cursor;
    ServingPoster dialog{prompter, cursor};
    std::ostringstream out;
    SearchOptions options;

    void SetUp() override
    {
        identity.flat = "LAB";
        identity.dns = "lab.example";
    }
    // One whole scan on the worker's own thread.
    std::unique_ptr<DomainScanWorker> run(const std::string& domain)
    {
        dialog.posts.clear();
        auto worker = std::make_unique<DomainScanWorker>(domain, options,
                                                         DomainScanWorker::Services{network, identity, directory, out});
        worker->start(dialog);
        worker->join();
        EXPECT_TRUE(worker->isFinished());
        EXPECT_EQ(dialog.posts.size(), 1u);
        EXPECT_EQ(dialog.posts.back().message, MessageFinished);
        EXPECT_EQ(cursor.depth, 0);
        return worker;
    }
    std::vector<FoundComputer> scan(const std::string& domain = "lab.example") { return run(domain)->computers(); }
    static SERVER_INFO_101 entry(const char* name, std::uint32_t type, std::uint32_t major, std::uint32_t minor)
    {
        return {500, name, major, minor, type, ""};
    }
};

TEST_F(DomainScanWorkerTest, BrowseListWithTheControllersHiddenAccounts)
{
    network.browseList = {entry("DC1", SV_TYPE_DOMAIN_CTRL | SV_TYPE_SERVER_NT, 5, 2), entry("PC1", SV_TYPE_NT, 5, 1),
                          entry("pc042", SV_TYPE_NT, 6, 1)};
    network.controller = "DC1";
    network.machineAccounts = {"DC1$", "PC042$", "HIDDEN$", "NODOLLAR"};
    options.scanHidden = true;
    const auto found = scan();
    EXPECT_EQ(network.enumeratedDomains, std::vector<std::string>{"LAB"});
    EXPECT_EQ(found, (std::vector<FoundComputer>{{"DC1", "Server (PDC) (Win2003)"},
                                                 {"PC1", "Workstation (WinXP)"},
                                                 {"pc042", "Workstation"},
                                                 {"HIDDEN", "Unknown (Hidden)"},
                                                 {"NODOLLAR", "Unknown (Hidden)"}}));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(DomainScanWorkerTest, HiddenAccountsArePagedAndCompareWithTheWholeList)
{
    network.browseList = {entry("DC1", SV_TYPE_DOMAIN_CTRL, 5, 2)};
    network.controller = "DC1";
    for (int i = 0; i < 2500; ++i)
        network.machineAccounts.push_back("M" + std::to_string(i) + "$");
    network.machineAccounts.push_back("m7$"); // found by this very scan already
    const auto found = scan();
    EXPECT_EQ(found.size(), 2501u);
}

TEST_F(DomainScanWorkerTest, AControllerThatAlwaysHasMoreIsLeftWhenNothingNewComes)
{
    network.browseList = {entry("DC1", SV_TYPE_DOMAIN_CTRL, 5, 2)};
    network.controller = "DC1";
    // New names for five pages, then the same page over and over.
    network.onDisplayPage = [](std::uint32_t index, std::vector<NET_DISPLAY_MACHINE>& page) {
        const std::uint32_t first = std::min<std::uint32_t>(index, 5);
        page.push_back({"M" + std::to_string(first) + "$", "", 0, 0, first + 1});
        return ERROR_MORE_DATA;
    };
    const auto found = scan();
    EXPECT_EQ(found.size(), 1u + 6u);
    EXPECT_EQ(network.displayPages.load(), 6 + DomainScanWorker::MaxPagesWithNothingNew);
}

TEST_F(DomainScanWorkerTest, ACancelStopsTheHiddenScanBetweenPages)
{
    network.browseList = {entry("DC1", SV_TYPE_DOMAIN_CTRL, 5, 2)};
    network.controller = "DC1";
    DomainScanWorker* running = nullptr;
    network.onDisplayPage = [&](std::uint32_t index, std::vector<NET_DISPLAY_MACHINE>& page) {
        page.push_back({"M" + std::to_string(index) + "$", "", 0, 0, index + 1});
        if (index == 3)
            running->requestCancel();
        return ERROR_MORE_DATA; // for ever, each page new
    };
    auto worker = std::make_unique<DomainScanWorker>("lab.example", options,
                                                     DomainScanWorker::Services{network, identity, directory, out});
    running = worker.get();
    worker->start(dialog);
    worker->join();
    EXPECT_TRUE(worker->isFinished());
    EXPECT_EQ(network.displayPages.load(), 4);
    EXPECT_EQ(worker->computers().size(), 1u + 4u); // what was found stays
}

TEST_F(DomainScanWorkerTest, ServersOnlyDropsWorkstationsAndSkipsTheHiddenScan)
{
    network.browseList = {entry("SRV", SV_TYPE_SERVER_NT, 5, 0), entry("WS", SV_TYPE_NT, 5, 0)};
    options.serversOnly = true;
    EXPECT_EQ(scan(), (std::vector<FoundComputer>{{"SRV", "Server (Win2K)"}}));
    EXPECT_TRUE(prompter.shown.empty()); // no controller, but no hidden scan either
}

TEST_F(DomainScanWorkerTest, NoControllerIsAPartialFailureOnlyWithComputers)
{
    network.browseList = {entry("WS", SV_TYPE_NT, 5, 0)};
    scan();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], (Message{"Partial Failure", "Cannot scan for hidden computers; no PDC found.",
                                          MessageButtons::Ok, MessageIcon::Exclamation}));
    network.browseList.clear();
    prompter.shown.clear();
    EXPECT_TRUE(scan().empty());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(DomainScanWorkerTest, FailingBrowseListAndMachineAccountQuery)
{
    network.browseStatus = 6118;
    network.browseList = {entry("WS", SV_TYPE_NT, 5, 0)};
    options.scanHidden = false;
    EXPECT_TRUE(scan().empty());

    network.browseStatus = ERROR_MORE_DATA; // taken as success
    network.browseList = {entry("DC1", SV_TYPE_DOMAIN_CTRL, 5, 0)};
    network.controller = "DC1";
    network.machineAccounts = {"X$"};
    network.displayStatus = ERROR_ACCESS_DENIED;
    options.scanHidden = true;
    EXPECT_EQ(scan().size(), 1u);
    EXPECT_EQ(out.str(), "Error: 5\n");
}

TEST_F(DomainScanWorkerTest, UnknownDomainWorksInBrowseModeAsTyped)
{
    identity.flat.clear();
    identity.dns.clear();
    network.browseList = {entry("WS", SV_TYPE_NT, 5, 0)};
    options.scanHidden = false;
    scan("WORKGROUP");
    EXPECT_EQ(network.enumeratedDomains, std::vector<std::string>{"WORKGROUP"});
}

TEST_F(DomainScanWorkerTest, DirectoryModeNeedsADirectory)
{
    identity.flat.clear();
    identity.dns.clear();
    options.ScanType = 1;
    EXPECT_TRUE(scan("nowhere").empty());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].title, "Error");
    EXPECT_EQ(prompter.shown[0].text,
              "The specified domain does not appear to support Active Directory, so an LDAP scan cannot be "
              "performed.  Please double-check the settings in Search Options.");
    EXPECT_TRUE(directory.domains.empty());
}

TEST_F(DomainScanWorkerTest, DirectoryModeWithAndWithoutAUnit)
{
    options.ScanType = 1;
    directory.pages = {{object("DC1", "Windows Server 2003"), object("WS1", "Windows XP Professional", "Service Pack 2")},
                       {object("", "")}};
    network.controller = "DC1";
    network.machineAccounts = {"DC1$", "GHOST$"};
    const auto found = scan();
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
