#include "core/search/DirectoryScan.h"
#include "support/FakeDirectory.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

using namespace std::chrono_literals;

TEST(CanonicalToDn, Table)
{
    const std::pair<const char*, const char*> table[] = {
        {"corp.example.com/Sales/East", "ou=East,ou=Sales,dc=corp,dc=example,dc=com"},
        {"corp.example.com", "dc=corp,dc=example,dc=com"},
        {"example.com/", "ou=,dc=example,dc=com"},
        {"example.com/Sales/", "ou=Sales,dc=example,dc=com"},
        {"example.com/Sales//", "ou=,ou=Sales,dc=example,dc=com"},
        {"CORP", "dc=CORP"},
        {"CORP/Unit", "ou=Unit,dc=CORP"},
        {"Lab.Example/A B/c,d", "ou=c,d,ou=A B,dc=Lab,dc=Example"}, // nothing escaped, case kept
        {"example.com.", "dc=example,dc=com,dc="},
        {"", "dc="},
        {"/Unit", "ou=Unit,dc="},
        {"a.b/x/y/z", "ou=z,ou=y,ou=x,dc=a,dc=b"},
    };
    for (const auto& [canonical, dn] : table)
        EXPECT_EQ(canonicalToDn(canonical), dn) << canonical;
}

TEST(DirectoryTypeText, Table)
{
    struct Row {
        DirectoryComputer in;
        const char* text;
        bool server;
    };
    const Row table[] = {
        {{"a", "Windows XP Professional", "Service Pack 2", ""}, "Workstation (WinXP SP2)", false},
        {{"b", "Windows 2000 Server", "Service Pack 4", ""}, "Server (Win2K SP4)", true},
        {{"c", "Windows Server 2003", "", ""}, "Server (WinServer 2003)", true},
        {{"d", "Windows 2000 Professional", "", ""}, "Workstation (Win2K)", false},
        {{"e", "", "Service Pack 1", "5.1 (2600)"}, "Unknown", false},
        // " Professional" alone empties the text.
        {{"f", " Professional", "Service Pack 3", ""}, "Unknown", false},
        // Case counts: "windows " and "server" are left alone.
        {{"g", "windows xp server", "", ""}, "Workstation (windows xp server)", false},
        {{"h", "Windows Server 2008 R2 Standard", "Service Pack 1", ""}, "Server (WinServer 2008 R2 Standard SP1)",
         true},
        {{"i", "Windows 7 Professional", "Service Pack 1", "6.1 (7601)"}, "Workstation (Win7 SP1)", false},
        {{"j", "Samba", "", "4.17.12-Debian"}, "Workstation (Samba)", false},
        // Every occurrence, the pack's "Server" included.
        {{"k", "Windows 2000 Windows 2000", "Server Service Pack 2", ""}, "Server (Win2K Win2K SP2)", true},
    };
    for (const Row& r : table) {
        const ComputerType t = directoryTypeText(r.in);
        EXPECT_EQ(t.text, r.text) << r.in.name;
        EXPECT_EQ(t.server, r.server) << r.in.name;
    }
    // The version never matters.
    for (const char* version : {"", "5.2 (3790)", "Server"})
        EXPECT_EQ(directoryTypeText({"v", "Windows XP Professional", "", version}).text, "Workstation (WinXP)");
}

class DirectoryScanTest : public ::testing::Test {
protected:
    FakeDirectory directory;

    void TearDown() override
    {
        // Every path abandons its search and closes its connection, in that order.
        EXPECT_EQ(directory.openSearches, 0);
        EXPECT_EQ(directory.openConnections, 0);
        EXPECT_FALSE(directory.searchOutlivedConnection);
    }
};

TEST_F(DirectoryScanTest, TheQueryAndItsPages)
{
    directory.pages = {{{{"name", {"PC1"}}, {"operatingSystem", {"Windows XP Professional"}}}},
                       {{{"name", {"PC2"}}}, {{"name", {"PC3"}}}}};
    const auto found = directoryScan(directory, "lab.example/Sales/East");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].name, "PC1");
    EXPECT_EQ(found[0].operatingSystem, "Windows XP Professional");
    EXPECT_EQ(found[2].name, "PC3");
    EXPECT_EQ(directory.domains, std::vector<std::string>{"lab.example"});
    EXPECT_EQ(directory.binds, 1);
    ASSERT_EQ(directory.queries.size(), 1u);
    const DirectoryQuery& q = directory.queries[0];
    EXPECT_EQ(q.base, "ou=East,ou=Sales,dc=lab,dc=example");
    EXPECT_EQ(q.filter, "objectClass=COMPUTER");
    EXPECT_EQ(q.attributes, (std::vector<std::string>{"name", "operatingSystem", "operatingSystemServicePack",
                                                      "operatingSystemVersion"}));
    EXPECT_EQ(q.pageSize, 250);
    EXPECT_EQ(q.pageWait, 60s);
    EXPECT_EQ(q.serverTimeLimit, 1000s);
    EXPECT_EQ(directory.pagesAsked, 3u); // the third says there are no more
}

TEST_F(DirectoryScanTest, AttributesByTheirExactNameTheLastValueWinning)
{
    directory.pages = {{{
        {"name", {"FIRST", "LAST"}},
        {"OperatingSystem", {"Windows XP Professional"}}, // not the same name
        {"operatingSystemServicePack", {}},
        {"operatingSystemVersion", {"5.1 (2600)"}},
        {"description", {"ignored"}},
        {"operatingSystem", {"Windows 2000 Server"}},
    }}};
    const auto found = directoryScan(directory, "lab.example");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "LAST");
    EXPECT_EQ(found[0].operatingSystem, "Windows 2000 Server");
    EXPECT_EQ(found[0].operatingSystemServicePack, "");
    EXPECT_EQ(found[0].operatingSystemVersion, "5.1 (2600)");
}

TEST_F(DirectoryScanTest, AnObjectWithoutANameStillCounts)
{
    directory.pages = {{{{"operatingSystem", {"Windows XP Professional"}}}, {}}};
    const auto found = directoryScan(directory, "lab.example");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "");
    EXPECT_EQ(found[1].operatingSystem, "");
}

TEST_F(DirectoryScanTest, FailuresEndQuietlyWithWhatWasRead)
{
    directory.pages = {{{{"name", {"A"}}}}, {{{"name", {"B"}}}}, {{{"name", {"C"}}}}};
    directory.failingPage = 2;
    EXPECT_EQ(directoryScan(directory, "lab.example").size(), 2u);
    EXPECT_EQ(directory.pagesAsked, 3u);

    directory.searchStarts = false;
    EXPECT_TRUE(directoryScan(directory, "lab.example").empty());

    directory.searchStarts = true;
    directory.bindAccepted = false;
    const std::size_t queries = directory.queries.size();
    EXPECT_TRUE(directoryScan(directory, "lab.example").empty());
    EXPECT_EQ(directory.queries.size(), queries); // no search after a refused bind

    directory.reachable = false;
    const int binds = directory.binds;
    EXPECT_TRUE(directoryScan(directory, "lab.example").empty());
    EXPECT_EQ(directory.binds, binds);
}

TEST_F(DirectoryScanTest, ACancelStopsBetweenPagesKeepingWhatWasRead)
{
    for (int i = 0; i < 5; ++i)
        directory.pages.push_back({{{"name", {"P" + std::to_string(i)}}}});
    CancelToken cancel;
    directory.onPage = [&](std::size_t index) {
        if (index == 1)
            cancel.cancel();
    };
    const auto found = directoryScan(directory, "lab.example", &cancel);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_EQ(directory.pagesAsked, 2u);
}

} // namespace
} // namespace rm
