#include "LabSupport.h"
#include "adapters/ldap/LdapConnection.h"
#include "core/search/DirectoryScan.h"
#include "core/search/DomainScan.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sys/stat.h>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using Computers = std::map<std::string, std::string>; // name -> type text

// The real adapter, watched: it counts pages, can act before each one and
// can shorten the client's wait for a page.
class WatchedDirectory : public DirectoryClient {
public:
    explicit WatchedDirectory(DirectoryClient& real) : real_(real) {}
    std::unique_ptr<Connection> connect(const std::string& domain) override
    {
        auto c = real_.connect(domain);
        return c ? std::make_unique<WatchedConnection>(*this, std::move(c)) : nullptr;
    }
    int pages = 0;
    std::function<void(int)> beforePage;
    std::chrono::seconds pageWait{0}; // 0: as asked

private:
    struct WatchedSearch : Search {
        WatchedSearch(WatchedDirectory& d, std::unique_ptr<Search> s) : d_(d), s_(std::move(s)) {}
        bool nextPage(std::vector<DirectoryEntry>& entries) override
        {
            if (d_.beforePage)
                d_.beforePage(d_.pages);
            const bool more = s_->nextPage(entries);
            d_.pages += more;
            return more;
        }
        WatchedDirectory& d_;
        std::unique_ptr<Search> s_;
    };
    struct WatchedConnection : Connection {
        WatchedConnection(WatchedDirectory& d, std::unique_ptr<Connection> c) : d_(d), c_(std::move(c)) {}
        BindResult bind(bool allowSimpleBind) override { return c_->bind(allowSimpleBind); }
        std::unique_ptr<Search> searchPaged(const DirectoryQuery& query) override
        {
            DirectoryQuery q = query;
            if (d_.pageWait.count() > 0)
                q.pageWait = d_.pageWait;
            auto s = c_->searchPaged(q);
            return s ? std::make_unique<WatchedSearch>(d_, std::move(s)) : nullptr;
        }
        WatchedDirectory& d_;
        std::unique_ptr<Connection> c_;
    };
    DirectoryClient& real_;
};

class DirectoryLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    OpenLdapDirectory ldap;
    WatchedDirectory directory{ldap};
    const std::string domain = lab.json["domain"]["dnsName"];

    void SetUp() override { (void)!std::system("kdestroy -q 2>/dev/null"); }
    void TearDown() override { (void)!std::system("kdestroy -q 2>/dev/null"); }

    static bool defaultCacheExists()
    {
        const char* name = std::getenv("KRB5CCNAME");
        struct stat st {};
        return name && std::string(name).rfind("FILE:", 0) == 0 && ::stat(name + 5, &st) == 0;
    }

    // What the manifest says a scan below `unit` ("" for the whole domain) finds.
    Computers expected(const std::string& unit, bool serversOnly = false) const
    {
        Computers all;
        const json& d = lab.json["domain"]["directory"];
        auto below = [&](const json& c) {
            const std::string ou = c.value("ou", "");
            return unit.empty() || ou == unit || ou.rfind(unit + "/", 0) == 0;
        };
        for (const json& c : d["computers"])
            if (below(c) && (!serversOnly || c.value("server", false)))
                all[c["name"]] = c["type"];
        for (const json& g : d["generated"]) {
            if (!below(g) || (serversOnly && !g.value("server", false)))
                continue;
            for (int i = 1; i <= g["count"].get<int>(); ++i) {
                char name[64];
                std::snprintf(name, sizeof name, "%s%03d", g["namePrefix"].get<std::string>().c_str(), i);
                all[name] = g["type"];
            }
        }
        return all;
    }
    static Computers typed(const std::vector<DirectoryComputer>& records)
    {
        Computers found;
        for (const DirectoryComputer& r : records)
            EXPECT_TRUE(found.emplace(r.name, directoryTypeText(r).text).second) << "twice: " << r.name;
        return found;
    }
    static Computers listed(const std::vector<FoundComputer>& computers)
    {
        Computers found;
        for (const FoundComputer& c : computers)
            EXPECT_TRUE(found.emplace(c.name, c.type).second) << "twice: " << c.name;
        return found;
    }
};

TEST_F(DirectoryLabTest, TheWholeDomainWithATicket)
{
    ASSERT_TRUE(lab.kinitOperator());
    const Computers want = expected("");
    ASSERT_GE(want.size(), 600u);
    EXPECT_EQ(typed(directoryScan(directory, domain)), want);
    EXPECT_GE(directory.pages, 3);
}

TEST_F(DirectoryLabTest, TheUnitWithTypedCredentialsAndNoTicketFile)
{
    ldap.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    const std::string unit = lab.json["domain"]["directory"]["orgUnits"].back();
    const Computers want = expected(unit);
    EXPECT_EQ(typed(directoryScan(directory, domain + "/" + unit)), want);
    EXPECT_EQ(directory.pages, static_cast<int>((want.size() + 249) / 250));
    EXPECT_FALSE(defaultCacheExists()); // the ticket stayed in memory

    // The account as user@realm, the realm in any case.
    ldap.setCredentials(lab.json["operator"]["user"].get<std::string>() + "@" + domain,
                        Secret::copyOf(lab.operatorPassword()));
    EXPECT_EQ(typed(directoryScan(directory, domain + "/" + unit)).size(), want.size());
    EXPECT_FALSE(defaultCacheExists());
}

TEST_F(DirectoryLabTest, RefusedBindsGiveNothing)
{
    // No ticket and nothing typed.
    EXPECT_TRUE(directoryScan(directory, domain).empty());
    ldap.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword() + "x"));
    EXPECT_TRUE(directoryScan(directory, domain).empty());
    ldap.setCredentials("LAB\\nobody-here", Secret::copyOf(lab.operatorPassword()));
    EXPECT_TRUE(directoryScan(directory, domain).empty());
    EXPECT_EQ(directory.pages, 0);
    // A domain without directory servers.
    ldap.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    EXPECT_TRUE(directoryScan(directory, "nowhere.example").empty());
}

// The password's way in where the realm's Kerberos servers cannot be
// reached: only where allowed, and then only to a server whose certificate
// proves the name asked for. The controller's own audit says what reached it.
class PasswordBindLabTest : public DirectoryLabTest {
protected:
    UnreachableKdc kdc{lab};
    ControllerSimpleBinds simpleBinds;
    const std::string controller = "dc1." + domain;

    LdapConnection::Identity identity() const { return {lab.operatorAccount(), lab.operatorPassword(), domain}; }
    // The authority the controller made for its own certificate, which nothing of the system trusts.
    static LdapConnection::TrustAnchors controllersAuthority()
    {
        return {std::string(std::getenv("RMLAB_DIR")) + "/dc/private/tls/ca.pem", ""};
    }
};

TEST_F(PasswordBindLabTest, OnlyWhereAllowedAndOnlyToAServerThatProvesItsName)
{
    // Trusted for its name: the password goes, and the audit sees it.
    LdapConnection trusted(domain, {controller}, identity(), controllersAuthority());
    ASSERT_EQ(trusted.bind(true), BindResult::Bound);
    const std::string seen = simpleBinds.lines();
    ASSERT_NE(seen.find("simple bind/TLS"), std::string::npos) << seen;
    EXPECT_NE(seen.find("NT_STATUS_OK"), std::string::npos) << seen;

    // The same authority, asked under a name of the domain its certificate does not hold.
    LdapConnection otherName(domain, {domain}, identity(), controllersAuthority());
    EXPECT_EQ(otherName.bind(true), BindResult::ServerNotTrusted);

    // The program's own trust, the system's: it holds no authority of the controller's.
    ldap.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    BindResult bound = BindResult::Bound;
    EXPECT_TRUE(directoryScan(directory, domain, nullptr, true, &bound).empty());
    EXPECT_EQ(bound, BindResult::ServerNotTrusted);
    // Not allowed: Kerberos or nothing.
    EXPECT_TRUE(directoryScan(directory, domain, nullptr, false, &bound).empty());
    EXPECT_EQ(bound, BindResult::SimpleBindOff);
    EXPECT_EQ(simpleBinds.lines(), seen); // nothing reached the controller after the trusted bind
}

// The domain scan's directory mode over the real services.
class DirectoryDomainScanLabTest : public DirectoryLabTest {
protected:
    OperatorClient net{lab, 4};
    NetworkIdentity identity{net, net, nullptr};

    void SetUp() override
    {
        DirectoryLabTest::SetUp();
        ldap.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    }
    // The scan's computers; nothing for the user to be told.
    std::vector<FoundComputer> scan(const std::string& typedDomain, const SearchOptions& options)
    {
        Progress<SearchProgress> progress;
        CancelToken cancel;
        DomainScan scan(typedDomain, options, {net, identity, directory});
        scan.run(progress, cancel);
        EXPECT_EQ(scan.notice(), DiscoveryNotice::None);
        EXPECT_EQ(scan.hiddenScanFailure(), NetStatus::Success);
        return scan.computers();
    }
};

TEST_F(DirectoryDomainScanLabTest, WholeDomainWithTheHiddenScanServersOnlyAndOneUnit)
{
    SearchOptions options;
    options.method = DiscoveryMethod::Directory;
    options.scanHidden = true;
    // By its NetBIOS name: translated to the DNS name first. Every machine
    // account has its object, so the hidden scan adds nothing; the
    // controller's type has no "Server" to mark.
    EXPECT_EQ(listed(scan(lab.json["domain"]["netbios"], options)), expected(""));

    options.serversOnly = true;
    const Computers servers = expected("", true);
    ASSERT_GT(servers.size(), 250u);
    EXPECT_EQ(listed(scan(domain, options)), servers);

    options.serversOnly = false;
    options.restrictToOrgUnit = true;
    options.orgUnit = lab.json["domain"]["directory"]["orgUnits"][0];
    EXPECT_EQ(listed(scan(domain, options)), expected(options.orgUnit));
}

TEST_F(DirectoryDomainScanLabTest, ARefusedBindIsAnEmptyListWithoutAMessage)
{
    ldap.setCredentials(lab.operatorAccount(), Secret::copyOf("wrong"));
    SearchOptions options;
    options.method = DiscoveryMethod::Directory;
    options.scanHidden = false;
    EXPECT_TRUE(scan(domain, options).empty());
}

// Every process of the controller stopped, and let go again on every path.
class StoppedController {
public:
    StoppedController()
    {
        FILE* p = ::popen("ip netns pids rmlab-dc", "r");
        for (int pid; p && std::fscanf(p, "%d", &pid) == 1;)
            pids_.push_back(pid);
        if (p)
            ::pclose(p);
        for (int pid : pids_)
            ::kill(pid, SIGSTOP);
    }
    ~StoppedController()
    {
        for (int pid : pids_)
            ::kill(pid, SIGCONT);
    }
    bool stopped() const { return !pids_.empty(); }

private:
    std::vector<int> pids_;
};

TEST_F(DirectoryLabTest, TheControllerStoppedInTheMiddleOfAScan)
{
    ldap.setCredentials(lab.operatorAccount(), Secret::copyOf(lab.operatorPassword()));
    directory.pageWait = 3s; // the real one is 60 s
    std::unique_ptr<StoppedController> controller;
    directory.beforePage = [&](int page) {
        if (page == 1)
            controller = std::make_unique<StoppedController>();
    };
    const auto started = std::chrono::steady_clock::now();
    const auto found = directoryScan(directory, domain);
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(controller && controller->stopped());
    controller.reset();
    EXPECT_EQ(found.size(), 250u); // the first page
    EXPECT_LT(took, 3s + 2s);
    EXPECT_GE(took, 3s);
    // The controller answers again, with the real limits.
    directory.beforePage = nullptr;
    directory.pageWait = 0s;
    EXPECT_EQ(typed(directoryScan(directory, domain)).size(), expected("").size());
}

} // namespace
} // namespace rm
