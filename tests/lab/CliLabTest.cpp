// rostermill-cli against the lab's servers: its search beside the manifest
// and beside core's search run in this process with the same settings, a
// batch checked on the server (and undone), a dry run and a run without
// --yes that change nothing, and a search piped into a batch.
#include "LabSupport.h"
#include "MemberSessions.h"
#include "core/search/Search.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <map>
#include <set>
#include <sstream>

namespace rm {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

struct CliRun {
    int status = -1; // -1 when ended by a signal
    std::string out, err;
};

// Runs the program with `input` on standard input and the texts of `fds` on
// those descriptors, in a session of its own (no terminal), its settings in
// `home`; sends it SIGINT after `interruptAfter` when given, SIGKILL as
// soon as `killWhen` holds (asked every 10 ms) when given.
// In the child: the pipes as its descriptors, nothing else open, the home
// folder given, then the program.
// When set, the program sees this file as /etc/hosts, in a mount namespace
// of its own: as if a forged answer had named a computer's address.
std::string hostsOfTheChild;

[[noreturn]] void execCli(const std::vector<std::string>& args, const std::string& home, int in, int out, int err,
                          const std::map<int, std::array<int, 2>>& extra)
{
    if (!hostsOfTheChild.empty()
        && (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount(hostsOfTheChild.c_str(), "/etc/hosts", nullptr, MS_BIND, nullptr) != 0))
        ::_exit(126);
    ::setsid();
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::set<int> kept{0, 1, 2};
    for (const auto& [fd, ends] : extra) {
        ::dup2(ends[0], fd);
        kept.insert(fd);
    }
    for (int fd = 3; fd < 256; ++fd)
        if (!kept.count(fd))
            ::close(fd);
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    std::vector<char*> argv{const_cast<char*>(CLI_PATH)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(CLI_PATH, argv.data());
    ::_exit(127);
}

CliRun runCli(const std::vector<std::string>& args, const std::string& home, const std::string& input,
              const std::map<int, std::string>& fds,
              std::optional<std::chrono::milliseconds> interruptAfter = std::nullopt,
              std::function<bool()> killWhen = {})
{
    int in[2], out[2], err[2];
    if (::pipe(in) || ::pipe(out) || ::pipe(err))
        return {};
    std::map<int, std::array<int, 2>> extra;
    for (const auto& [fd, text] : fds)
        if (::pipe(extra[fd].data()))
            return {};
    const pid_t pid = ::fork();
    if (pid == 0)
        execCli(args, home, in[0], out[1], err[1], extra);
    for (int fd : {in[0], out[1], err[1]})
        ::close(fd);
    // The texts are small: they fit the pipes whether the program reads them or not.
    for (const auto& [fd, ends] : extra) {
        ::close(ends[0]);
        const std::string& text = fds.at(fd);
        (void)!::write(ends[1], text.data(), text.size());
        ::close(ends[1]);
    }
    (void)!::write(in[1], input.data(), input.size());
    ::close(in[1]);
    CliRun run;
    pollfd p[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sink[2] = {&run.out, &run.err};
    const auto started = std::chrono::steady_clock::now();
    for (int open = 2; open > 0;) {
        int wait = killWhen ? 10 : -1;
        if (interruptAfter) {
            const auto left = *interruptAfter - (std::chrono::steady_clock::now() - started);
            wait = static_cast<int>(std::max<long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(left).count()));
        }
        const int ready = ::poll(p, 2, wait);
        if (killWhen && killWhen()) {
            ::kill(pid, SIGKILL);
            killWhen = {};
        }
        if (ready == 0 && interruptAfter) {
            ::kill(pid, SIGINT);
            interruptAfter.reset();
            continue;
        }
        for (int k = 0; k < 2; ++k) {
            if (p[k].fd < 0 || !(p[k].revents & (POLLIN | POLLHUP)))
                continue;
            char buffer[4096];
            const ssize_t n = ::read(p[k].fd, buffer, sizeof buffer);
            if (n > 0) {
                sink[k]->append(buffer, n);
            } else {
                ::close(p[k].fd);
                p[k].fd = -1;
                --open;
            }
        }
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class CliLabTest : public ::testing::Test {
protected:
    LabManifest lab = LabManifest::load();
    TempDir home;

    // The members answer the operator's own account, not the domain's ticket.
    void SetUp() override { (void)!std::system("kdestroy -q 2>/dev/null"); }
    void TearDown() override { (void)!std::system("kdestroy -q 2>/dev/null"); }

    // The program acting as the operator, its password on descriptor 9.
    CliRun cli(std::vector<std::string> args, const std::string& input = "", std::map<int, std::string> fds = {},
               std::optional<std::chrono::milliseconds> interruptAfter = std::nullopt,
               std::function<bool()> killWhen = {})
    {
        args.insert(args.begin() + 1, {"--as", lab.operatorAccount(), "--as-password-fd", "9"});
        fds[9] = lab.operatorPassword() + "\n";
        return runCli(args, home.path().string(), input, fds, interruptAfter, std::move(killWhen));
    }
    // The first `n` names nobody answers, one a line.
    std::string unreachable(int n) const
    {
        const auto& u = lab.json["unreachable"];
        std::string list;
        for (int i = 1; i <= n; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s%03d", u["namePrefix"].get<std::string>().c_str(), i);
            list += std::string(name) + "\n";
        }
        return list;
    }

    // The members, the offline name and the silent one, one a line.
    std::string computerList() const
    {
        std::string list;
        for (const json& m : lab.json["members"])
            list += m["name"].get<std::string>() + "\n";
        return list + lab.json["offline"]["name"].get<std::string>() + "\n"
            + lab.json["blackhole"]["name"].get<std::string>() + "\n";
    }
    long days() const { return (std::time(nullptr) - LabManifest::readySeconds()) / 86400; }

    static std::map<std::string, json> byComputer(const json& rows)
    {
        std::map<std::string, json> m;
        for (const json& r : rows)
            m[r["computer"]] = r;
        return m;
    }

    UserAccount rmtest()
    {
        OperatorClient net(lab, 1);
        UserAccount account;
        EXPECT_EQ(net.getUser(ServerName("PC01"), "rmtest", account), NetStatus::Success);
        return account;
    }
};

// Where Kerberos cannot be used the password bind is off unless asked for;
// asked for, the controller, whose certificate nothing of the system trusts,
// still gets no password, whatever the user's or the folder's LDAP
// configuration says.
TEST_F(CliLabTest, NoPasswordToAnUntrustedDirectoryWhateverLdaprcSays)
{
    UnreachableKdc kdc(lab);
    ControllerSimpleBinds simpleBinds;
    TempDir folder;
    const std::string loose = "TLS_REQCERT never\nTLS_REQSAN never\n";
    TempDir::write(folder / "ldaprc", loose);
    TempDir::write(folder / "chosenrc", loose);
    TempDir::write(home / ".ldaprc", loose);
    ::setenv("LDAPRC", "chosenrc", 1);
    ::setenv("LDAPTLS_REQCERT", "never", 1);
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const std::vector<std::string> search{"search", "--directory", "--domain", lab.json["domain"]["dnsName"],
                                          "--no-hidden", "--no-ping", "--user", "Administrator"};
    const CliRun off = cli(search);
    std::vector<std::string> allowed = search;
    allowed.push_back("--allow-simple-bind");
    const CliRun on = cli(allowed);
    std::filesystem::current_path(here);
    ::unsetenv("LDAPRC");
    ::unsetenv("LDAPTLS_REQCERT");

    EXPECT_NE(off.err.find("is turned off"), std::string::npos) << off.err;
    EXPECT_NE(off.err.find("give --allow-simple-bind"), std::string::npos) << off.err;
    EXPECT_NE(on.err.find("proved its name with a trusted certificate"), std::string::npos) << on.err;
    EXPECT_EQ(on.out.find("Administrator"), std::string::npos) << on.out;
    EXPECT_EQ(simpleBinds.lines(), "");
}

TEST_F(CliLabTest, SearchPrintsWhatTheManifestHolds)
{
    TempDir lists;
    TempDir::write(lists / "computers", computerList());
    const CliRun r = cli({"search", "--computers", (lists / "computers").string(), "--user", "Administrator",
                          "--format", "json", "--all"});
    ASSERT_EQ(r.status, 1) << r.err; // some computers could not be checked
    const json doc = json::parse(r.out);
    EXPECT_EQ(doc["mode"], "user");

    std::map<std::string, std::string> expectedReason;
    std::set<std::string> expectedMatched;
    for (const json& m : lab.json["members"]) {
        const std::string name = m["name"];
        bool has = false;
        for (const json& u : m["users"])
            if (u["name"] == "Administrator") {
                has = true;
                if (m.value("refusesOperator", false))
                    continue;
                expectedMatched.insert(name);
                const auto row = byComputer(doc["computers"])[name];
                ASSERT_FALSE(row.is_null()) << name;
                EXPECT_EQ(row["user"], "Administrator");
                EXPECT_EQ(row["enabled"], u["enabled"]) << name;
                EXPECT_EQ(row["groups"], u["groups"]) << name;
                EXPECT_EQ(row["passwordAgeDays"], days()) << name;
                EXPECT_TRUE(row["rid"].is_number_unsigned()) << name;
            }
        expectedReason[name] = m.value("refusesOperator", false) ? "access denied" : "account not found";
        if (has && !m.value("refusesOperator", false))
            expectedReason.erase(name);
    }
    expectedReason[lab.json["offline"]["name"]] = "offline by ping";
    expectedReason[lab.json["blackhole"]["name"]] = "unreachable";

    std::set<std::string> matched;
    for (const json& row : doc["computers"])
        matched.insert(row["computer"].get<std::string>());
    EXPECT_EQ(matched, expectedMatched);
    std::map<std::string, std::string> reasons;
    for (const json& d : doc["notMatched"])
        reasons[d["computer"]] = d["reason"];
    EXPECT_EQ(reasons, expectedReason);
    EXPECT_EQ(doc["counts"]["totalFound"], lab.json["members"].size() + 2);
    EXPECT_EQ(doc["counts"]["offline"], 3); // the refusing, the offline and the silent one
    EXPECT_EQ(doc["counts"]["matched"], expectedMatched.size());

    // Without a terminal nothing but the results reaches standard output;
    // the progress line never shows.
    EXPECT_EQ(r.err.find('\r'), std::string::npos);
}

TEST_F(CliLabTest, GroupSearchAsTableAndCsv)
{
    TempDir lists;
    TempDir::write(lists / "computers", "PC01\nPC03\n");
    const CliRun table = cli({"search", "--computers", (lists / "computers").string(), "--group", "Administrators"});
    ASSERT_EQ(table.status, 0) << table.err;
    // PC01: Administrator and helpdesk; PC03: localadmin. One row per member.
    std::istringstream in(table.out);
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("Computer Name  Type  User", 0), 0u) << table.out;
    std::multiset<std::string> members;
    for (std::size_t i = 2; i < lines.size() && !lines[i].empty(); ++i)
        members.insert(lines[i].substr(0, lines[i].find(' ')) + "\\" + lines[i].substr(21, lines[i].find(' ', 21) - 21));
    EXPECT_EQ(members, (std::multiset<std::string>{"PC01\\Administrator", "PC01\\helpdesk", "PC03\\localadmin"}))
        << table.out;
    EXPECT_NE(table.out.find("Group is empty:         0"), std::string::npos) << table.out;

    const CliRun csv = cli({"search", "--computers", (lists / "computers").string(), "--group", "Administrators",
                            "--format", "csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("Computer Name,Type,User,Enabled,Groups,Password Age\r\n", 0), 0u);
    // Two groups: quoted, whatever order the server gives them in.
    EXPECT_NE(csv.out.find("PC01,,helpdesk,Yes,\""), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find("Administrators\"," + std::to_string(days()) + " days\r\n"), std::string::npos) << csv.out;
    EXPECT_NE(csv.err.find("Computers Matched: 2"), std::string::npos) << csv.err;
}

TEST_F(CliLabTest, SearchGivesWhatCoresSearchGivesForTheSameSettings)
{
    // The directory of the whole domain with its hidden machine accounts, pinged.
    const CliRun r = cli({"search", "--domain", lab.json["domain"]["dnsName"], "--directory", "--hidden", "--ping",
                          "--no-ou", "--no-servers-only", "--user", "Administrator", "--format", "json", "--all"});
    ASSERT_EQ(r.status, 1) << r.err;
    const json doc = json::parse(r.out);

    LabSearchServices services(lab, helperSettings(32));
    SearchRequest request;
    request.account = "Administrator";
    request.options.domain = lab.json["domain"]["dnsName"];
    request.options.method = DiscoveryMethod::Directory;
    request.options.scanHidden = true;
    request.options.pingScan = true;
    Progress<SearchProgress> progress;
    CancelToken cancel;
    const SearchOutcome o = search(request, services.services(), progress, cancel);

    std::set<json> ownRows, cliRows(doc["computers"].begin(), doc["computers"].end());
    for (const ComputerRow& row : o.rows) {
        json own = json::object();
        own["computer"] = row.computer.name;
        own["type"] = row.computer.type;
        own["user"] = row.account->user;
        own["enabled"] = row.account->enabled;
        own["groups"] = row.account->groups;
        own["passwordAgeDays"] = row.account->passwordAgeSeconds / 86400;
        own["rid"] = row.account->rid;
        ownRows.insert(own);
    }
    EXPECT_EQ(cliRows, ownRows);
    EXPECT_FALSE(cliRows.empty());
    EXPECT_EQ(doc["counts"]["totalFound"], o.counts.totalFound);
    EXPECT_EQ(doc["counts"]["offline"], o.counts.offline);
    EXPECT_EQ(doc["counts"]["notExist"], o.counts.notExist);
    std::set<std::string> ownDropped, cliDropped;
    for (const DroppedComputer& d : o.dropped)
        ownDropped.insert(d.computer.name);
    for (const json& d : doc["notMatched"])
        cliDropped.insert(d["computer"].get<std::string>());
    EXPECT_EQ(cliDropped, ownDropped);
    EXPECT_EQ(doc["notMatched"].size(), o.dropped.size());
}

TEST_F(CliLabTest, TheNamedAccountOrTheTicket)
{
    const CliRun none = runCli({"search", "--computers", "-", "--user", "Administrator"}, home.path().string(),
                               "PC01\n", {});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err.rfind("rostermill-cli: no Kerberos ticket", 0), 0u) << none.err;
    EXPECT_EQ(none.out, "");

    // The ticket alone is refused by the members (they are not in the
    // domain); with --as beside it the named account is the one used.
    ASSERT_TRUE(lab.kinitOperator());
    const CliRun ticket = runCli({"search", "--computers", "-", "--user", "Administrator", "--all", "--format", "csv"},
                                 home.path().string(), "PC01\n", {});
    EXPECT_EQ(ticket.status, 1) << ticket.err;
    EXPECT_NE(ticket.out.find("\r\nPC01,,,,,,"), std::string::npos) << ticket.out;
    const CliRun typed = cli({"search", "--computers", "-", "--user", "Administrator", "--format", "csv"}, "PC01\n");
    ASSERT_EQ(typed.status, 0) << typed.err;
    EXPECT_NE(typed.out.find("PC01,,Administrator,Yes,Administrators,"), std::string::npos) << typed.out;
}

// The lab's rogue host is the master browser of its own workgroup and
// announces itself a domain controller; its server records every session
// set-up. The browse list and the version queries reach it anonymously, the
// hidden-computer scan never takes it for the controller, and the account
// check gives it nothing while NTLM is refused.
TEST_F(CliLabTest, ARogueBrowserAndControllerGetsNoCredentials)
{
    const json& rogue = lab.json["rogue"];
    const std::string name = rogue["name"], record = std::string(std::getenv("RMLAB_DIR")) + "/hosts/" + name
        + "/log/auth.log";
    const auto search = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"search", "--domain", rogue["workgroup"], "--browse", "--hidden",
                                      "--user",  "Administrator",               "--all",    "--format", "json"};
        args.insert(args.end(), extra.begin(), extra.end());
        std::ofstream(record, std::ios::trunc).flush();
        const CliRun r = cli(args);
        std::ifstream in(record);
        std::vector<std::string> setUps;
        for (std::string line; std::getline(in, line);)
            if (line.find("Auth: ") != std::string::npos)
                setUps.push_back(line);
        return std::pair(r, setUps);
    };
    const auto reasonOf = [&](const CliRun& r) {
        const json doc = json::parse(r.out, nullptr, false);
        return doc.is_object() && doc["notMatched"].size() == 1 && doc["notMatched"][0]["computer"] == name
            ? doc["notMatched"][0]["reason"].get<std::string>()
            : r.out;
    };
    // Its workgroup's election ends a little after the lab is up.
    auto [first, setUps] = search({});
    for (int tries = 0; tries < 30 && reasonOf(first).find('{') != std::string::npos; ++tries) {
        std::this_thread::sleep_for(3s);
        std::tie(first, setUps) = search({});
    }
    EXPECT_EQ(reasonOf(first), "offline by ping") << first.err;
    EXPECT_NE(first.err.find("Cannot scan for hidden computers; no PDC found."), std::string::npos) << first.err;
    ASSERT_FALSE(setUps.empty());
    for (const std::string& s : setUps)
        EXPECT_NE(s.find("user []\\[]"), std::string::npos) << s;

    auto [refused, refusedSetUps] = search({"--no-ping", "--no-ntlm"});
    EXPECT_EQ(reasonOf(refused), "NTLM refused") << refused.err;
    for (const std::string& s : refusedSetUps)
        EXPECT_NE(s.find("user []\\[]"), std::string::npos) << s;

    // Allowed, NTLM goes to a computer outside the domain that is checked,
    // and the record shows it: the set-ups above would have been seen.
    auto [allowed, allowedSetUps] = search({"--no-ping"});
    EXPECT_EQ(reasonOf(allowed), "access denied (logon failure)") << allowed.err;
    EXPECT_EQ(std::count_if(allowedSetUps.begin(), allowedSetUps.end(),
                            [](const std::string& s) {
                                return s.find("\\[operator]") != std::string::npos
                                    && s.find("with [NTLMv2]") != std::string::npos;
                            }),
              1);
}

// A computer the domain knows, its short name answered by another host: the
// controller's short name points at the rogue host, as a forged name answer
// would, with no DNS name beside it. Kerberos cannot name the computer, and
// the domain knows the short name, so the rogue gets no NTLM and no session.
TEST_F(CliLabTest, AnImpostorOfAComputerTheDomainKnowsGetsNothing)
{
    const json& dc = lab.json["domain"]["controller"];
    const std::string record = std::string(std::getenv("RMLAB_DIR")) + "/hosts/"
        + lab.json["rogue"]["name"].get<std::string>() + "/log/auth.log";
    TempDir etc;
    // Its full name, which the KDC is found by, stays its own.
    std::string full = dc["name"].get<std::string>() + "." + lab.json["domain"]["dnsName"].get<std::string>();
    std::transform(full.begin(), full.end(), full.begin(), ::tolower);
    TempDir::write(etc / "hosts", "127.0.0.1 localhost\n" + dc["address"].get<std::string>() + " " + full + "\n"
                                      + lab.json["rogue"]["address"].get<std::string>() + " "
                                      + dc["name"].get<std::string>() + "\n");
    std::ofstream(record, std::ios::trunc).flush();
    hostsOfTheChild = (etc / "hosts").string();
    const CliRun r = cli({"search", "--computers", "-", "--no-ping", "--user", "Administrator", "--all", "--format",
                          "json"},
                         dc["name"].get<std::string>() + "\n");
    hostsOfTheChild.clear();
    const json doc = json::parse(r.out, nullptr, false);
    ASSERT_TRUE(doc.is_object()) << r.out << r.err;
    EXPECT_TRUE(doc["computers"].empty());
    ASSERT_EQ(doc["notMatched"].size(), 1u) << r.out;
    EXPECT_EQ(doc["notMatched"][0]["reason"], "no DNS name for Kerberos") << r.out;
    std::ifstream in(record);
    for (std::string line; std::getline(in, line);)
        EXPECT_EQ(line.find("] user ["), std::string::npos) << line;
}

// Typed credentials become a ticket in memory, with no ticket file: the
// controller's machine accounts and its own account come over Kerberos,
// while every member, outside the domain, is refused.
TEST_F(CliLabTest, TypedCredentialsReachTheControllerByKerberosAndNoMemberByNtlmWhenRefused)
{
    const CliRun r = cli({"search", "--browse", "--hidden", "--no-ntlm", "--user", "Administrator", "--all",
                          "--format", "json"});
    const json doc = json::parse(r.out, nullptr, false);
    ASSERT_TRUE(doc.is_object()) << r.out << r.err;
    std::set<std::string> hidden, refusedMembers;
    for (const json& d : doc["notMatched"]) {
        if (d["type"] == "Unknown (Hidden)")
            hidden.insert(d["computer"].get<std::string>());
        if (d["reason"] == "NTLM refused")
            refusedMembers.insert(d["computer"].get<std::string>());
    }
    for (const json& m : lab.json["members"]) {
        EXPECT_TRUE(refusedMembers.count(m["name"].get<std::string>())) << m["name"];
        // Not in the browse list: only the controller's accounts name it.
        if (m.value("browse", "none") == "none") {
            EXPECT_TRUE(hidden.count(m["name"].get<std::string>())) << m["name"];
        }
    }
    // The controller itself, a hidden name, is checked by Kerberos alone, and
    // so are the domain's members.
    std::set<std::string> found, expected{lab.json["domain"]["controller"]["name"].get<std::string>()};
    for (const json& row : doc["computers"])
        found.insert(row["computer"].get<std::string>());
    for (const json& m : lab.json["joinedMembers"])
        for (const json& u : m["users"])
            if (u["name"] == "Administrator")
                expected.insert(m["name"].get<std::string>());
    EXPECT_EQ(found, expected) << r.out;
}

// The joined members by their short names (as a browse list gives them), and
// a short name of one of them that only the hosts file knows.
class JoinedMembersLabTest : public CliLabTest {
protected:
    std::filesystem::path list()
    {
        std::string names;
        for (const json& m : lab.json["joinedMembers"])
            names += m["name"].get<std::string>() + "\n";
        TempDir::write(home / "joined", names + lab.json["shortNameOnly"]["name"].get<std::string>() + "\n");
        return home / "joined";
    }
    // Each joined member's rows and the short name's reason, of a search for svcdesk.
    void expectSvcdeskFound(const CliRun& r)
    {
        const json doc = json::parse(r.out, nullptr, false);
        ASSERT_TRUE(doc.is_object()) << r.out << r.err;
        std::set<std::string> found;
        for (const json& row : doc["computers"]) {
            EXPECT_EQ(row["user"], "svcdesk");
            found.insert(row["computer"].get<std::string>());
        }
        EXPECT_EQ(found, (std::set<std::string>{"SRV01", "SRV02"})) << r.out;
        ASSERT_EQ(doc["notMatched"].size(), 1u) << r.out;
        EXPECT_EQ(doc["notMatched"][0]["computer"], lab.json["shortNameOnly"]["name"]);
        EXPECT_EQ(doc["notMatched"][0]["reason"], "no DNS name for Kerberos");
    }
    // Every session since `logs` began, on each member, was the operator's by Kerberos.
    void expectKerberosOnly(const MemberSessions& logs, std::size_t atLeast)
    {
        for (const auto& [member, sessions] : logs.since()) {
            EXPECT_GE(sessions.size(), atLeast) << member;
            for (const auto& s : sessions)
                EXPECT_EQ(s.kind + " " + s.account, "krb5 LAB\\operator") << member;
        }
    }
};

// Only the operator's ticket: the search and a batch on the joined members
// ask for nothing, and every session they open is Kerberos, to the DNS name.
TEST_F(JoinedMembersLabTest, ATicketAloneSearchesAndChangesThemByKerberos)
{
    ASSERT_TRUE(lab.kinitOperator());
    const MemberSessions logs(lab);
    const auto run = [&](std::vector<std::string> args, const std::string& input = "") {
        return runCli(args, home.path().string(), input, {});
    };
    const CliRun search = run({"search", "--computers", list().string(), "--user", "svcdesk", "--all",
                               "--format", "json"});
    expectSvcdeskFound(search);
    const std::string password = "Joined-" + std::to_string(std::time(nullptr)) + "!x";
    const CliRun apply = run({"apply", "--set-password", "--yes", "--log-dir", home.path().string(),
                              "SRV01\\svcdesk", "SRV02\\svcdesk"}, password + "\n");
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
    EXPECT_EQ(search.err.find("assword"), std::string::npos) << search.err; // never asked
    expectKerberosOnly(logs, 2);

    for (const char* member : {"SRV01", "SRV02"}) {
        EXPECT_EQ(logOn("svcdesk", password, member), NetStatus::Success) << member;
        EXPECT_EQ(logOn("svcdesk", lab.operatorPassword(), member), NetStatus::LogonFailure) << member;
    }
    const CliRun restore = run({"apply", "--set-password", "--yes", "--log-dir", home.path().string(),
                                "SRV01\\svcdesk", "SRV02\\svcdesk"}, lab.operatorPassword() + "\n");
    EXPECT_EQ(restore.status, 0) << restore.out << restore.err;
}

// Typed credentials and no ticket file: the ticket made in memory reaches
// the joined members, NTLM refused or not; the short name the domain knows
// but its DNS does not gets no NTLM either, whoever answers for it.
TEST_F(JoinedMembersLabTest, TypedCredentialsReachThemByKerberosThroughTheTicketInMemory)
{
    const MemberSessions logs(lab);
    expectSvcdeskFound(cli({"search", "--computers", list().string(), "--user", "svcdesk", "--all", "--format",
                            "json", "--no-ntlm"}));
    expectSvcdeskFound(cli({"search", "--computers", list().string(), "--user", "svcdesk", "--all", "--format",
                            "json"}));
    expectKerberosOnly(logs, 2);
}

// A local group that holds a deleted domain account's SID: the group's own
// member is still found, nothing fails.
TEST_F(JoinedMembersLabTest, AGroupHoldingADeletedDomainAccountStillGivesItsLocalMember)
{
    const CliRun r = cli({"search", "--computers", "-", "--group", "Project Team", "--all", "--format", "json"},
                         "SRV01\n");
    const json doc = json::parse(r.out, nullptr, false);
    ASSERT_TRUE(doc.is_object()) << r.out << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(doc["computers"].size(), 1u) << r.out;
    EXPECT_EQ(doc["computers"][0]["user"], "svcdesk");
    EXPECT_TRUE(doc["notMatched"].empty()) << r.out;
}

// The built-in administrator found by its relative identifier on every
// member, joined or not, each row with that computer's own name; one batch
// renames them all to one name (and they are named back).
TEST_F(JoinedMembersLabTest, TheBuiltInAdministratorWhateverItsNameAndOneBatchOnAllOfThem)
{
    // The controller's account domain is the domain: it has no built-in administrator of its own.
    std::string names = lab.json["domain"]["controller"]["name"].get<std::string>() + "\n";
    std::map<std::string, std::string> expected;
    for (const char* kind : {"members", "joinedMembers"})
        for (const json& m : lab.json[kind]) {
            names += m["name"].get<std::string>() + "\n";
            for (const json& u : m["users"])
                if (u.value("rid", 0) == 500 && !m.value("refusesOperator", false))
                    expected[m["name"]] = u["name"];
        }
    ASSERT_TRUE(expected.count("SRV02") && expected["SRV02"] != "Administrator");
    TempDir::write(home / "all", names);
    const auto search = [&] {
        const CliRun r = cli({"search", "--computers", (home / "all").string(), "--builtin-admin", "--format", "json"});
        std::map<std::string, std::string> found;
        const json doc = json::parse(r.out, nullptr, false);
        for (const json& row : doc["computers"])
            found[row["computer"]] = row["user"];
        return std::make_pair(r, found);
    };
    const auto [before, found] = search();
    EXPECT_EQ(found, expected) << before.out << before.err;

    TempDir::write(home / "found.json", before.out);
    const CliRun apply = cli({"apply", "--rename", "rmbuiltin", "--yes", "--log-dir", home.path().string(),
                              "--targets", (home / "found.json").string()});
    EXPECT_EQ(apply.status, 0) << apply.out << apply.err;
    const auto [after, renamed] = search();
    OperatorClient net(lab, 1);
    for (const auto& [computer, name] : expected) {
        EXPECT_EQ(renamed.count(computer) ? renamed.at(computer) : "", "rmbuiltin") << computer;
        EXPECT_EQ(net.rename(ServerName(computer), "rmbuiltin", name), NetStatus::Success) << computer;
    }
}

TEST_F(CliLabTest, ApplyChangesTheServerAndLogsIt)
{
    TempDir logs;
    const std::string password = "Cli-Batch-" + std::to_string(std::time(nullptr)) + "!x";
    const std::string offline = lab.json["offline"]["name"];
    const CliRun r = cli({"apply", "--set-password", "--disable", "--yes", "--log-dir", logs.path().string(),
                          "PC01\\rmtest", offline + "\\rmtest"},
                         password + "\n");
    EXPECT_EQ(r.status, 1) << r.err; // the offline one failed
    EXPECT_NE(r.out.find("PC01\\rmtest: password set; disabled\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(offline + "\\rmtest: password: ERROR: "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Succeeded:  0             1                 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Failed:     0             1                 1\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Total:      0             2                 2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Operation Completed.\n"), std::string::npos);
    EXPECT_EQ(r.out.find(password), std::string::npos);
    EXPECT_EQ(r.err.find(password), std::string::npos);

    // The log: where it said, with a row per account, and no password.
    const std::size_t at = r.out.find("Activity log: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string path = r.out.substr(at + 14, r.out.find('\n', at) - at - 14);
    EXPECT_EQ(std::filesystem::path(path).parent_path(), logs.path());
    const std::string log = TempDir::read(path);
    EXPECT_NE(log.find("<TD>PC01</TD>\r\n<TD>rmtest</TD>"), std::string::npos);
    EXPECT_NE(log.find("<TD>" + offline + "</TD>\r\n<TD>rmtest</TD>"), std::string::npos);
    EXPECT_EQ(log.find(password), std::string::npos);

    // On the server: disabled; put back, the lab's password logs on again.
    EXPECT_FALSE(rmtest().enabled);
    restoreRmtest(lab);
    EXPECT_EQ(logOn("rmtest", lab.operatorPassword()), NetStatus::Success);
}

TEST_F(CliLabTest, ANewPasswordLogsOnAfterTheBatch)
{
    TempDir logs;
    const std::string password = "Cli-Logon-" + std::to_string(std::time(nullptr)) + "!y";
    const CliRun r = cli({"apply", "--set-password", "--password-fd", "3", "--yes", "--log-dir", logs.path().string(),
                          "--user", "rmtest", "PC01"},
                         "", {{3, password + "\n"}});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    EXPECT_EQ(logOn("rmtest", password), NetStatus::Success);
    EXPECT_NE(logOn("rmtest", lab.operatorPassword()), NetStatus::Success);
    restoreRmtest(lab);
}

TEST_F(CliLabTest, DryRunAndNoYesChangeNothing)
{
    TempDir logs;
    const std::uint32_t before = helperUserRecord(lab, "PC01", "rmtest").flags;
    const CliRun dry = cli({"apply", "--dry-run", "--set-password", "--disable", "--rename", "rmtest2", "--log-dir",
                            logs.path().string(), "PC01\\rmtest"},
                           "Dry-Run-Only-1!\n");
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "1 account on 1 computer:\n"
                       "PC01\\rmtest: would set the password, disable the account and rename it to \"rmtest2\"\n");

    const CliRun refused = cli({"apply", "--disable", "--log-dir", logs.path().string(), "PC01\\rmtest"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "rostermill-cli: --yes is needed to change accounts without a terminal to confirm on\n");

    EXPECT_EQ(helperUserRecord(lab, "PC01", "rmtest").flags, before);
    EXPECT_EQ(logOn("rmtest", lab.operatorPassword()), NetStatus::Success); // the password is as it was
    EXPECT_NE(logOn("rmtest", "Dry-Run-Only-1!"), NetStatus::Success);
    EXPECT_TRUE(std::filesystem::is_empty(logs.path()));
}

TEST_F(CliLabTest, ASearchPipedIntoABatch)
{
    TempDir logs;
    const CliRun search = cli({"search", "--computers", "-", "--user", "rmtest", "--format", "json"}, "PC01\nPC02\n");
    ASSERT_EQ(search.status, 0) << search.err;
    const CliRun apply = cli({"apply", "--enable", "--yes", "--log-dir", logs.path().string()}, search.out);
    ASSERT_EQ(apply.status, 0) << apply.err;
    EXPECT_EQ(apply.out.rfind("PC01\\rmtest: enabled\n", 0), 0u) << apply.out;
    EXPECT_NE(apply.out.find("Total:      0             0                 1\n"), std::string::npos) << apply.out;

    // Checks refuse as the window does, with its text.
    const CliRun bad = cli({"apply", "--rename", "", "--yes", "PC01\\rmtest"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "rostermill-cli: You must specify a new username when changing the username.\n");
}

TEST_F(CliLabTest, CtrlCCancelsASearchAsTheWindowsCancelDoes)
{
    const auto start = std::chrono::steady_clock::now();
    const CliRun r = cli({"search", "--computers", "-", "--no-ping", "--user", "Administrator"}, unreachable(200), {},
                         1000ms);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Operation cancelled: The search for \"Administrator\" was cancelled."), std::string::npos)
        << r.err;
    EXPECT_LT(seconds, 4.0); // the checks stop at once; the probes' limit is 5 s
}

TEST_F(CliLabTest, CtrlCEndsABatchAfterItsCurrentComputerAndLogsIt)
{
    TempDir logs;
    // Each unreachable computer takes its seconds; PC01 comes last and is never reached.
    const CliRun r = cli({"apply", "--enable", "--yes", "--log-dir", logs.path().string(), "--user", "rmtest", "--targets",
                          "-"},
                         unreachable(3) + "PC01\n", {}, 1000ms);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("PC01\\rmtest: not reached (cancelled)\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Operation Cancelled.\n"), std::string::npos) << r.out;
    const std::size_t at = r.out.find("Activity log: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NE(TempDir::read(r.out.substr(at + 14, r.out.find('\n', at) - at - 14)).find("<TD>PC01</TD>"),
              std::string::npos);
}

TEST_F(CliLabTest, ABatchKilledPartWayLeavesTheLogOfWhatItChanged)
{
    TempDir logs;
    // The accounts as the lab made them, whatever the test ends with.
    struct Restore {
        const LabManifest& lab;
        ~Restore()
        {
            restoreRmtest(lab);
            EXPECT_EQ(OperatorClient(lab, 1).setEnabled(ServerName("PC02"), "helpdesk", true), NetStatus::Success);
        }
    } restore{lab};
    std::string silent = unreachable(1);
    silent.pop_back();
    // PC01 first; the silent computer then holds the batch for its seconds,
    // and the program is killed there, once PC01 is in the journal; PC02 is
    // never reached.
    const std::string targets = "PC01\\rmtest\n" + silent + "\\rmtest\nPC02\\helpdesk\n";
    auto journalLines = [&] {
        std::size_t lines = 0;
        for (const auto& entry : std::filesystem::directory_iterator(logs.path()))
            if (entry.path().extension() == ".journal") {
                const std::string text = TempDir::read(entry.path());
                lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
            }
        return lines;
    };
    const CliRun killed = cli({"apply", "--disable", "--yes", "--log-dir", logs.path().string(), "--targets", "-"},
                              targets, {}, std::nullopt, [&] { return journalLines() >= 2; });
    EXPECT_EQ(killed.status, -1) << killed.err << killed.out;
    EXPECT_EQ(journalLines(), 2u); // the batch line and PC01's

    // The next start, whatever its command, makes the log and says where.
    const CliRun next = cli({"apply", "--dry-run", "--enable", "--log-dir", logs.path().string(), "PC01\\rmtest"});
    EXPECT_EQ(next.status, 0) << next.err;
    const std::string said = "rostermill-cli: a batch that did not finish left its activity log: ";
    const std::size_t at = next.err.find(said);
    ASSERT_NE(at, std::string::npos) << next.err;
    const std::string path = next.err.substr(at + said.size(), next.err.find('\n', at) - at - said.size());
    EXPECT_EQ(std::filesystem::path(path).parent_path(), logs.path());
    const std::string log = TempDir::read(path);
    EXPECT_NE(log.find("<P>This batch did not finish."), std::string::npos) << log;
    EXPECT_EQ(journalLines(), 0u);

    // The log names exactly the accounts the servers hold as changed; the
    // silent computer changed nothing.
    using Account = std::pair<std::string, std::string>;
    for (const auto& [computer, user] : {Account{"PC01", "rmtest"}, Account{"PC02", "helpdesk"}}) {
        const HelperUserRecord record = helperUserRecord(lab, computer, user);
        ASSERT_EQ(record.status, NetStatus::Success) << computer;
        const bool changed = (record.flags & UserFlag::Disabled) != 0;
        EXPECT_EQ(log.find("<TD>" + computer + "</TD>") != std::string::npos, changed) << computer << "\n" << log;
    }
    EXPECT_EQ(log.find("<TD>" + silent + "</TD>"), std::string::npos);
    EXPECT_NE(log.find("<TD>PC01</TD>\r\n<TD>rmtest</TD>\r\n<TD>No</TD>"), std::string::npos) << log;

    // A second start finds nothing more to say.
    const CliRun again = cli({"apply", "--dry-run", "--enable", "--log-dir", logs.path().string(), "PC01\\rmtest"});
    EXPECT_EQ(again.err, "") << again.err;
}

// A throwaway OpenPGP key in the program's home, for generated passwords.
std::string makeRecipientKey(const std::filesystem::path& home)
{
    const std::filesystem::path gnupg = home / ".gnupg";
    std::filesystem::create_directory(gnupg);
    std::filesystem::permissions(gnupg, std::filesystem::perms::owner_all);
    const std::string command = "gpg --homedir '" + gnupg.string()
        + "' --batch --quiet --passphrase '' --quick-gen-key 'Lab Rotation <rotation@lab.example>' future-default "
          "default never 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return "rotation@lab.example";
}

// Ends the agent the key brought up, by its own command.
struct AgentOf {
    std::filesystem::path home;
    ~AgentOf()
    {
        (void)!std::system(("gpgconf --homedir '" + (home / ".gnupg").string() + "' --kill all").c_str());
    }
};

NetStatus logOnAt(const std::string& computer, const std::string& user, const std::string& password)
{
    NetApiClient asUser(helperSettings(1));
    asUser.setCredentials(user, Secret::copyOf(password));
    UserAccount account;
    return asUser.getUser(ServerName(computer), user, account);
}

// Every file under `folders` (up to 64 MiB each) that holds `text`.
std::vector<std::string> filesHolding(const std::vector<std::filesystem::path>& folders, const std::string& text)
{
    std::vector<std::string> found;
    for (const auto& folder : folders) {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(
                 folder, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_regular_file(ec) || it->file_size(ec) > (64u << 20))
                continue;
            if (TempDir::read(it->path()).find(text) != std::string::npos)
                found.push_back(it->path().string());
        }
    }
    return found;
}

TEST_F(CliLabTest, UniqueGeneratedPasswordsLogOnAndReadBackOnlyThroughTheRecipientsKey)
{
    TempDir logs;
    AgentOf agent{home.path()};
    const std::string recipient = makeRecipientKey(home.path());
    const std::vector<std::string> members{"PC01", "PC02", "PC04"};
    struct Restore {
        const LabManifest& lab;
        const std::vector<std::string>& members;
        ~Restore()
        {
            OperatorClient net(lab, 1);
            for (const std::string& m : members)
                EXPECT_EQ(net.setPassword(ServerName(m), "helpdesk", Secret::copyOf(lab.operatorPassword())),
                          NetStatus::Success);
        }
    } restore{lab, members};

    // A recipient without a key: refused, nothing changed, no log.
    const CliRun refused = cli({"apply", "--generate-unique", "--recipient", "nobody@lab.example", "--yes", "--log-dir",
                                logs.path().string(), "--user", "helpdesk", "PC01"});
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_NE(refused.err.find("The generated passwords would be lost: "), std::string::npos) << refused.err;
    EXPECT_TRUE(std::filesystem::is_empty(logs.path()));
    EXPECT_EQ(logOnAt("PC01", "helpdesk", lab.operatorPassword()), NetStatus::Success);

    const std::string record = (logs.path() / "rotation.asc").string();
    const CliRun r = cli({"apply", "--generate-unique", "--recipient", recipient, "--record", record, "--yes",
                          "--log-dir", logs.path().string(), "--user", "helpdesk", "PC01", "PC02", "PC04"});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
    const std::size_t at = r.out.find("Activity log: ");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string log = r.out.substr(at + 14, r.out.find('\n', at) - at - 14);

    // The record and the log's blocks both read back, through the key only.
    std::map<std::string, std::string> revealed;
    for (const std::string& file : {record, log}) {
        const CliRun shown = runCli({"reveal", file, "--format", "json"}, home.path().string(), "", {});
        ASSERT_EQ(shown.status, 0) << file << "\n" << shown.err;
        const json entries = json::parse(shown.out)["entries"];
        ASSERT_EQ(entries.size(), members.size()) << shown.out;
        for (const json& e : entries) {
            EXPECT_EQ(e["account"], "helpdesk");
            EXPECT_EQ(e["state"], "set");
            const std::string computer = e["computer"], password = e["password"];
            if (file == record)
                revealed[computer] = password;
            else
                EXPECT_EQ(revealed[computer], password) << "the log and the record disagree on " << computer;
        }
    }
    std::set<std::string> distinct;
    for (const std::string& m : members) {
        const std::string& password = revealed[m];
        distinct.insert(password);
        EXPECT_EQ(logOnAt(m, "helpdesk", password), NetStatus::Success) << m << " logs on with its new password";
        EXPECT_NE(logOnAt(m, "helpdesk", lab.operatorPassword()), NetStatus::Success) << m << " the old one fails";
        EXPECT_EQ(r.out.find(password), std::string::npos);
        EXPECT_EQ(r.err.find(password), std::string::npos);
        EXPECT_EQ(filesHolding({home.path(), logs.path(), std::getenv("RMLAB_DIR")}, password), std::vector<std::string>{})
            << "a clear generated password on disk";
        std::printf("%s\thelpdesk\tlogs on with its new password\treveal matches\n", m.c_str());
    }
    EXPECT_EQ(distinct.size(), members.size());

    // Without the key, nothing reads back.
    TempDir stranger;
    const CliRun blind = runCli({"reveal", record}, stranger.path().string(), "", {});
    EXPECT_NE(blind.status, 0);
    for (const auto& [m, password] : revealed)
        EXPECT_EQ(blind.out.find(password), std::string::npos);
}

TEST_F(CliLabTest, AGeneratedPasswordBatchKilledPartWayHasRecordedEveryPasswordItSet)
{
    TempDir logs;
    AgentOf agent{home.path()};
    const std::string recipient = makeRecipientKey(home.path());
    struct Restore {
        const LabManifest& lab;
        ~Restore()
        {
            OperatorClient net(lab, 1);
            for (const char* m : {"PC01", "PC02"})
                net.setPassword(ServerName(m), "helpdesk", Secret::copyOf(lab.operatorPassword()));
        }
    } restore{lab};
    std::string silent = unreachable(1);
    silent.pop_back();
    // PC01, then the silent computer holds the batch; killed there, once its
    // entry is in the record. PC02 is never reached.
    const std::string record = (logs.path() / "killed.asc").string();
    auto entries = [&] {
        const std::string text = std::filesystem::exists(record) ? TempDir::read(record) : "";
        std::size_t n = 0;
        for (std::size_t at = 0; (at = text.find("-----END PGP MESSAGE-----", at)) != std::string::npos; ++at)
            ++n;
        return n;
    };
    const CliRun killed = cli({"apply", "--generate-unique", "--recipient", recipient, "--record", record, "--yes",
                               "--log-dir", logs.path().string(), "--user", "helpdesk", "--targets", "-"},
                              "PC01\n" + silent + "\nPC02\n", {}, std::nullopt, [&] { return entries() >= 2; });
    EXPECT_EQ(killed.status, -1) << killed.err << killed.out;

    const CliRun shown = runCli({"reveal", record, "--format", "json"}, home.path().string(), "", {});
    ASSERT_EQ(shown.status, 0) << shown.err;
    const json e = json::parse(shown.out)["entries"];
    ASSERT_EQ(e.size(), 2u) << shown.out;
    EXPECT_EQ(e[0]["computer"], "PC01");
    EXPECT_EQ(e[0]["state"], "set");
    EXPECT_EQ(logOnAt("PC01", "helpdesk", e[0]["password"]), NetStatus::Success);
    EXPECT_EQ(e[1]["computer"], silent);
    EXPECT_EQ(e[1]["state"], "unknown");
    EXPECT_EQ(logOnAt("PC02", "helpdesk", lab.operatorPassword()), NetStatus::Success); // never reached
}

} // namespace
} // namespace rm
