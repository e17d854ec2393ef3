// The console's two commands end to end over doubles: what a search prints
// of each computer, a batch dry and real with its activity log, the
// questions a script must answer, and standard input never read for two
// things at once.
#include "cli/CliProgram.h"
#include "adapters/linux/GetrandomSource.h"
#include "adapters/linux/PosixFileReader.h"
#include "support/ClearRecordCipher.h"
#include "support/FakeSearchServices.h"
#include "support/MemoryProfileStore.h"
#include "support/ReportDoubles.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <unistd.h>

namespace rm {
namespace {

class MemoryFiles : public FileWriter {
public:
    FileFailure replaceFile(const std::string& path, const std::string& contents) override
    {
        files[path] = contents;
        return FileFailure::None;
    }
    std::map<std::string, std::string> files;
};

class CliCommandTest : public ::testing::Test {
protected:
    FakeSearchServices fakes;
    MemoryProfileStore profile;
    SettingsStore settings{profile};
    MemoryFiles files;
    MemoryJournalFiles journals;
    ManualWallClock wallClock;
    ClearRecordCipher cipher;
    PosixFileReader reader;
    GetrandomSource random;
    int secretsProtected = 0;
    bool ntlmRefused = false;
    std::string out, err;
    bool inputUntouched = false;

    // PC01 has the account; PC02 lacks it; PC03 refuses; PC05's check finds
    // no path; PC04 and PC06 do not answer pings, PC04 takes connections.
    void SetUp() override
    {
        const char* names[] = {"PC01", "PC02", "PC03", "PC04", "PC05", "PC06"};
        for (int i = 0; i < 6; ++i) {
            const std::uint32_t address = htonl(0x0A000001 + i);
            fakes.resolver.addresses[names[i]] = address;
            if (i != 3 && i != 5)
                fakes.icmp.answering.push_back(address);
        }
        FakeNetwork::Account admin;
        admin.passwordAge = 3 * 86400 + 5;
        admin.groups = {"Administrators"};
        admin.rid = 500;
        auto& computers = fakes.network.computers;
        computers["\\\\PC01"].accounts["Administrator"] = admin;
        computers["\\\\PC02"];
        computers["\\\\PC03"].status = NetStatus::AccessDenied;
        computers["\\\\PC04"].accounts["Administrator"] = admin;
        computers["\\\\PC05"].status = NetStatus::BadNetPath;
        fakes.probe.open = {"PC01", "PC02", "PC03", "PC04", "PC05"};
        wallClock.time = 1700000000;
    }

    int run(const std::vector<std::string>& args, const std::string& input = "")
    {
        class Platform : public ConsolePlatform {
        public:
            explicit Platform(CliCommandTest& t) : t_(t) {}
            SearchServices search() override { return t_.fakes.services(); }
            SettingsStore& settings() override { return t_.settings; }
            FileWriter& files() override { return t_.files; }
            JournalFiles& journals() override { return t_.journals; }
            WallClock& clock() override { return t_.wallClock; }
            FileReader& reader() override { return t_.reader; }
            RandomSource& random() override { return t_.random; }
            RecordCipher& cipher() override { return t_.cipher; }
            void protectSecrets() override { ++t_.secretsProtected; }
            void refuseNtlm(bool refused) override { t_.ntlmRefused = refused; }

        private:
            CliCommandTest& t_;
        };
        std::istringstream in(input);
        std::ostringstream o, e;
        const int status = runCli(args, in, o, e, [this](ConsolePlatform::AskCredentials ask, bool) {
            // As with a ticket: an account given is asked for first.
            fakes.identity.onEnsure = [ask] {
                std::string account;
                Secret password;
                ask(account, password);
                return true;
            };
            return std::make_unique<Platform>(*this);
        });
        out = o.str();
        err = e.str();
        inputUntouched = in.good() && in.tellg() == 0;
        return status;
    }

    // A descriptor whose one line is `text`.
    std::string lineOnDescriptor(const std::string& text)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return "-1";
        (void)!::write(fds[1], (text + "\n").data(), text.size() + 1);
        ::close(fds[1]);
        descriptors_.push_back(fds[0]);
        return std::to_string(fds[0]);
    }
    void TearDown() override
    {
        for (int fd : descriptors_)
            ::close(fd);
    }

private:
    std::vector<int> descriptors_;
};

TEST_F(CliCommandTest, ASearchPrintsTheRowsTheReasonsAndTheCounts)
{
    ASSERT_EQ(run({"search", "--computers", "-", "--ping", "--user", "Administrator", "--all"},
                  "PC01\nPC02\nPC03\nPC04\n# a comment\n\\\\PC05\nPC06\n"),
              ExitSomeFailed)
        << err;
    EXPECT_EQ(out, "Computer Name  Type  User           Enabled  Groups          Password Age\n"
                   "-------------  ----  -------------  -------  --------------  ------------\n"
                   "PC01                 Administrator  Yes      Administrators  3 days\n"
                   "\n"
                   "Computer Name  Type  Reason\n"
                   "-------------  ----  -----------------\n"
                   "PC04                 offline by ping\n"
                   "PC06                 offline by ping\n"
                   "PC02                 account not found\n"
                   "PC03                 access denied\n"
                   "PC05                 unreachable\n"
                   "\n"
                   "Total Computers Found:  6\n"
                   "Offline:                4\n" // the window lumps ping, refusal and no path together
                   "User doesn't exist:     1\n"
                   "Computers Matched:      1\n");
    EXPECT_EQ(err, "");
    EXPECT_EQ(fakes.probe.probes, 0);
    EXPECT_EQ(fakes.identity.credentialsAsked, 1);
}

TEST_F(CliCommandTest, WithoutPingsThePortDecidesAndTheNoticeSaysSo)
{
    fakes.icmp.refuse = true;
    ASSERT_EQ(run({"search", "--computers", "-", "--ping", "--alive", "both", "--user", "Administrator", "--all",
                   "--format", "json"},
                  "PC01\nPC04\nPC06\n"),
              ExitSomeFailed);
    EXPECT_EQ(err.rfind("Error: Unable to perform ping scan for active machines: You do not have raw-socket", 0), 0u)
        << err;
    const auto doc = nlohmann::json::parse(out);
    ASSERT_EQ(doc["computers"].size(), 2u); // PC04 kept by its port, the last found on top
    EXPECT_EQ(doc["computers"][0]["computer"], "PC04");
    EXPECT_EQ(doc["computers"][0]["rid"], 500);
    EXPECT_EQ(doc["notMatched"], nlohmann::json::parse(R"([{"computer": "PC06", "type": "",
        "reason": "offline by ping and no connection on port 445"}])"));
}

TEST_F(CliCommandTest, ADryRunOrARefusedRequestDoesNothing)
{
    EXPECT_EQ(run({"apply", "--dry-run", "--disable", "--log-dir", "/logs", "PC01\\Administrator",
                   "PC03\\Administrator"}),
              ExitDone)
        << err;
    EXPECT_EQ(out, "2 accounts on 2 computers:\n"
                   "PC01\\Administrator: would disable the account\n"
                   "PC03\\Administrator: would disable the account\n");
    EXPECT_TRUE(fakes.network.changes.empty());
    EXPECT_TRUE(files.files.empty());

    // A long list: the first twenty and how many more; names as a terminal may show them.
    std::string many;
    for (int i = 0; i < 23; ++i)
        many += "PC" + std::to_string(i % 12) + "\\user" + std::to_string(i) + "\x1B[31m\n";
    ASSERT_EQ(run({"apply", "--dry-run", "--enable", "--targets", "-"}, many), ExitDone) << err;
    const auto firstLine = out.substr(0, out.find('\n'));
    EXPECT_EQ(firstLine, "23 accounts on 12 computers:");
    EXPECT_NE(out.find("PC7\\user19\\x1B[31m: would enable the account\nand 3 more\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("user20"), std::string::npos);

    // The batch's own checks refuse with the window's text, as bad usage.
    EXPECT_EQ(run({"apply", "--rename", "", "--yes", "PC01\\Administrator"}), ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: You must specify a new username when changing the username.\n");
    EXPECT_TRUE(fakes.network.changes.empty());
}

TEST_F(CliCommandTest, ABatchPrintsEachAccountCountsAndLogs)
{
    EXPECT_EQ(run({"apply", "--disable", "--yes", "--log-dir", "/logs/", "PC01\\Administrator", "PC03\\Administrator"}),
              ExitSomeFailed);
    EXPECT_EQ(fakes.network.changes, (std::vector<std::string>{"\\\\PC01 Administrator enabled 0",
                                                               "\\\\PC03 Administrator enabled 0"}));
    ASSERT_EQ(files.files.size(), 1u);
    EXPECT_TRUE(journals.files.empty()); // gone once the log is in place
    const auto& [path, log] = *files.files.begin();
    EXPECT_EQ(path.rfind("/logs/", 0), 0u);
    EXPECT_EQ(path.find('/', 6), std::string::npos);
    EXPECT_NE(log.find("<TD>PC03</TD>"), std::string::npos);
    EXPECT_EQ(out, "PC01\\Administrator: disabled\n"
                   "PC03\\Administrator: disable: ERROR: The user does not have access to the requested information.\n"
                   "\n"
                   "            Rename User:  Change Password:  Enable/Disable:\n"
                   "Succeeded:  0             0                 1\n"
                   "Failed:     0             0                 1\n"
                   "Total:      0             0                 2\n"
                   "Operation Completed.\n"
                   "Activity log: " + path + "\n");
    // Said before anything is done, as a terminal's question would.
    EXPECT_EQ(err.rfind("Acting on 2 accounts on 2 computers:\n  PC01\\Administrator\n  PC03\\Administrator\n", 0), 0u)
        << err;
}

TEST_F(CliCommandTest, MalformedTargetsEndInOneLineNamingTheFileAndTheLine)
{
    char path[] = "/tmp/rostermill-targets.XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    auto targetsFile = [&](const std::string& text) {
        EXPECT_EQ(::ftruncate(fd, 0), 0);
        EXPECT_EQ(::pwrite(fd, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
        return run({"apply", "--enable", "--yes", "--targets", path});
    };
    const std::string file = path;
    EXPECT_EQ(targetsFile("{\"mode\":1,\"computers\":[]}"), ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: no targets: the list given is empty\n");
    EXPECT_EQ(targetsFile("{\"computers\": [\n  {\"computer\": \"PC01\"\n"), ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: " + file + ", line 3: the targets are not a JSON document of search --format json\n");
    EXPECT_EQ(targetsFile("PC01\\a\n\n\x1B]0;owned\x07\n"), ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: " + file
                       + ", line 3: target \"\\x1B]0;owned\\x07\" names no account (COMPUTER\\ACCOUNT, or give --user)\n");
    EXPECT_EQ(run({"apply", "--enable", "--yes", "--targets", "-"}, std::string(60000, '\\')), ExitUsage);
    EXPECT_EQ(err.rfind("rostermill-cli: standard input, line 1: target \"\\\\", 0), 0u);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_TRUE(fakes.network.changes.empty());
    ::close(fd);
    ::unlink(path);
}

TEST_F(CliCommandTest, ANewPasswordFromADescriptorAndTheEmptyOnesQuestion)
{
    ASSERT_EQ(run({"apply", "--set-password", "--password-fd", lineOnDescriptor("N3w-Secret"), "--yes", "--log-dir",
                   "/logs", "--no-ntlm", "PC01\\Administrator"}),
              ExitDone)
        << err;
    EXPECT_EQ(fakes.network.passwords["\\\\PC01 Administrator"], "N3w-Secret");
    EXPECT_EQ(secretsProtected, 1);
    EXPECT_TRUE(ntlmRefused);
    for (const auto& [path, log] : files.files)
        EXPECT_EQ(log.find("N3w-Secret"), std::string::npos);

    // An empty password is a question of its own: --yes is not its answer.
    // Asked in a session without a terminal, as a scheduler runs the program.
    EXPECT_EXIT(
        {
            ::setsid();
            const int status = run({"apply", "--set-password", "--password-fd", lineOnDescriptor(""), "--yes",
                                    "PC01\\Administrator"});
            std::cerr << err;
            std::exit(fakes.network.passwords["\\\\PC01 Administrator"] == "N3w-Secret" ? status : 9);
        },
        ::testing::ExitedWithCode(ExitSomeFailed), "nothing done: \"Security Warning\" was answered no");
    ASSERT_EQ(run({"apply", "--set-password", "--password-fd", lineOnDescriptor(""), "--yes",
                   "--allow-empty-password", "--log-dir", "/logs", "PC01\\Administrator"}),
              ExitDone)
        << err;
    EXPECT_EQ(fakes.network.passwords["\\\\PC01 Administrator"], "");
}

// A password from a descriptor is one whole line, and the descriptor is
// closed once read, so no process started later holds it. A NUL would cut
// the password short further on; an empty one for --as would leave the
// calls to whatever ticket there is. Both are refused before any change.
TEST_F(CliCommandTest, PasswordDescriptorsAreReadWholeAndClosed)
{
    auto closed = [](const std::string& fd) { return ::fcntl(std::stoi(fd), F_GETFD) < 0 && errno == EBADF; };
    std::string fd = lineOnDescriptor(std::string("N3w\0Secret", 10));
    EXPECT_EQ(
        run({"apply", "--set-password", "--password-fd", fd, "--yes", "--log-dir", "/logs", "PC01\\Administrator"}),
        ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: the new password holds a NUL byte, which a password cannot\n");
    EXPECT_TRUE(closed(fd));

    fd = lineOnDescriptor("");
    EXPECT_EQ(run({"apply", "--enable", "--yes", "--as", "LAB\\operator", "--as-password-fd", fd, "--log-dir", "/logs",
                   "PC01\\Administrator"}),
              ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: the password of LAB\\operator is empty: --as needs the account's password\n");
    EXPECT_TRUE(closed(fd));
    fd = lineOnDescriptor(std::string("Op\0erator", 9));
    EXPECT_EQ(run({"search", "--user", "a", "--as", "LAB\\operator", "--as-password-fd", fd}), ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: the password of LAB\\operator holds a NUL byte, which a password cannot\n");
    EXPECT_TRUE(fakes.network.changes.empty());
    EXPECT_EQ(fakes.network.lookups, 0);

    const std::string fresh = lineOnDescriptor("N3w-Secret");
    const std::string logon = lineOnDescriptor("Operator-Secret");
    ASSERT_EQ(run({"apply", "--set-password", "--password-fd", fresh, "--yes", "--as", "LAB\\operator",
                   "--as-password-fd", logon, "--log-dir", "/logs", "PC01\\Administrator"}),
              ExitDone)
        << err;
    EXPECT_EQ(fakes.network.passwords["\\\\PC01 Administrator"], "N3w-Secret");
    EXPECT_TRUE(closed(fresh));
    EXPECT_TRUE(closed(logon));
}

TEST_F(CliCommandTest, StandardInputIsNeverAskedForTwoThings)
{
    const std::string targets = "PC01\\Administrator\n";
    EXPECT_EQ(run({"apply", "--set-password", "--yes", "--targets", "-"}, targets), ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: standard input cannot carry both the targets and a password: use another "
                   "descriptor\n");
    EXPECT_TRUE(inputUntouched);
    EXPECT_EQ(run({"apply", "--enable", "--yes", "--as", "LAB\\operator", "--as-password-fd", "0", "--targets", "-"},
                  targets),
              ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: standard input cannot carry both the targets and a password: use another "
                   "descriptor\n");
    EXPECT_TRUE(inputUntouched);
    EXPECT_EQ(run({"search", "--user", "a", "--as", "LAB\\operator", "--as-password-fd", "0", "--computers", "-"},
                  "PC01\n"),
              ExitUsage);
    EXPECT_EQ(err, "rostermill-cli: standard input cannot carry both the computers and the password: use another "
                   "descriptor\n");
    EXPECT_TRUE(inputUntouched);
    EXPECT_TRUE(fakes.network.changes.empty());
    EXPECT_EQ(fakes.network.lookups, 0);
}

} // namespace
} // namespace rm
