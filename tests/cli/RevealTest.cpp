// `rostermill-cli reveal` itself over a record written with the real cipher
// in a GnuPG home of the test's own: the entries of one computer in any
// case as JSON, with their states and times; an entry for someone else's
// key named on standard error; a filter that matches nothing.
#include "adapters/gpg/GpgmeRecordCipher.h"
#include "core/passwords/PasswordRecord.h"
#include "core/report/ActivityLog.h"
#include "support/GpgHome.h"
#include "support/TempDir.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace rm {
namespace {

struct Ran {
    int status = -1;
    std::string out, err;
};

// The program run with `args`, its home folder `home`; GNUPGHOME is the test's.
Ran reveal(const TempDir& home, std::vector<std::string> args)
{
    args.insert(args.begin(), {"rostermill-cli", "reveal"});
    const std::string out = (home / "out").string(), err = (home / "err").string();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("HOME", home.path().c_str(), 1);
        ::unsetenv("LOCPATH"); // the tests' locales: glibc leaks reading them
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(o, STDOUT_FILENO);
        ::dup2(e, STDERR_FILENO);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(ROSTERMILL_CLI, argv.data());
        ::_exit(127);
    }
    Ran ran;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        ran.status = WEXITSTATUS(status);
    ran.out = TempDir::read(out);
    ran.err = TempDir::read(err);
    return ran;
}

TEST(Reveal, PrintsTheMatchingEntriesAndNamesWhatCannotBeRead)
{
    GpgHome gpg;
    const std::string mine = gpg.generate("Me <me@example.org>");
    const std::string theirs = gpg.generate("Them <them@example.org>");
    ASSERT_EQ(theirs.size(), 40u);
    gpg.forgetSecret(theirs);

    GpgmeRecordCipher cipher;
    const auto entry = [&](const std::string& key, const std::string& computer, const std::string& account,
                           const std::string& password, std::time_t time) {
        std::string error;
        const auto armoured = cipher.encrypt({key}, recordEntryText(computer, account, Secret::copyOf(password), time), error);
        EXPECT_TRUE(armoured) << error;
        return armoured.value_or("");
    };
    const std::string record = entry(mine, "PC01", "Administrator", "first one", 1700000000) + "\n"
        + recordMarkerLine(RecordState::Set, "PC01", "Administrator") + "\n"
        + entry(mine, "PC02", "Administrator", "second", 1700000100) + "\n"
        + recordMarkerLine(RecordState::Failed, "PC02", "Administrator") + "\n"
        + entry(mine, "pc01", "Backup", "with \"quotes\" \\ and \xC3\xA4", 1700000200) + "\n";
    TempDir home;
    TempDir::write(home / "record.txt", record);
    TempDir::write(home / "mixed.txt", record + entry(theirs, "PC03", "Administrator", "not mine", 1700000300));

    Ran ran = reveal(home, {(home / "record.txt").string(), "--computer", "\\\\pc01", "--format", "json"});
    ASSERT_EQ(ran.status, 0) << ran.err;
    const auto doc = nlohmann::json::parse(ran.out);
    const auto expected = nlohmann::json::parse(R"({"entries": [
        {"computer": "PC01", "account": "Administrator", "password": "first one", "time": "", "state": "set"},
        {"computer": "pc01", "account": "Backup", "password": "with \"quotes\" \\ and ä", "time": "", "state": "unknown"}
    ]})");
    auto withTimes = expected;
    withTimes["entries"][0]["time"] = activityLogTime(1700000000);
    withTimes["entries"][1]["time"] = activityLogTime(1700000200);
    EXPECT_EQ(doc, withTimes);
    EXPECT_EQ(ran.err, "");

    ran = reveal(home, {(home / "mixed.txt").string(), "--account", "ADMINISTRATOR"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_NE(ran.out.find("second"), std::string::npos) << ran.out;
    EXPECT_NE(ran.out.find("failed"), std::string::npos);
    EXPECT_EQ(ran.out.find("Backup"), std::string::npos);
    EXPECT_EQ(ran.err, "rostermill-cli: " + (home / "mixed.txt").string()
                           + ": line " + std::to_string(std::count(record.begin(), record.end(), '\n') + 1)
                           + ": an entry cannot be read: none of your secret keys can decrypt it\n");

    ran = reveal(home, {(home / "record.txt").string(), "--computer", "PC09"});
    EXPECT_EQ(ran.status, 1);
    EXPECT_EQ(ran.out, "");
    EXPECT_NE(ran.err.find("no entry matches"), std::string::npos) << ran.err;
}

} // namespace
} // namespace rm
