// The console program's command line: flags, values, their checks, and the
// search flags laid over the stored settings.
#include "cli/CliOptions.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

CommandLine parse(std::vector<std::string> args)
{
    return parseCommandLine(args);
}

std::string usageError(std::vector<std::string> args)
{
    try {
        parseCommandLine(args);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(CliOptions, SearchTakesEveryDiscoveryFlag)
{
    const CommandLine c = parse({"search", "--domain", "lab.example", "--ou=Branches/East", "--servers-only",
                                 "--no-hidden", "--no-ping", "--user", "Administrator", "--format", "json", "--all",
                                 "--alive", "both", "--as", "LAB\\operator", "--as-password-fd", "5"});
    ASSERT_EQ(c.kind, CommandLine::Kind::Search);
    const SearchArgs& s = c.search;
    EXPECT_EQ(*s.domain, "lab.example");
    EXPECT_EQ(*s.orgUnit, "Branches/East");
    EXPECT_EQ(*s.method, DiscoveryMethod::Directory); // a unit is in the directory
    EXPECT_TRUE(*s.serversOnly);
    EXPECT_FALSE(*s.hidden);
    EXPECT_FALSE(*s.ping);
    EXPECT_EQ(s.accountName, "Administrator");
    EXPECT_EQ(s.kind, AccountKind::User);
    EXPECT_EQ(s.format, OutputFormat::Json);
    EXPECT_TRUE(s.all);
    EXPECT_EQ(s.alive, Liveness::PingOrPort);
    EXPECT_EQ(s.logon.account, "LAB\\operator");
    EXPECT_EQ(s.logon.passwordFd, 5);
}

TEST(CliOptions, SearchDefaultsLeaveTheSettingsAlone)
{
    const CommandLine c = parse({"search", "--group", "Administrators"});
    const SearchArgs& s = c.search;
    EXPECT_EQ(s.kind, AccountKind::Group);
    EXPECT_EQ(parse({"search", "--builtin-admin"}).search.kind, AccountKind::BuiltinAdministrator);
    EXPECT_FALSE(s.domain || s.method || s.orgUnit || s.serversOnly || s.hidden || s.ping);
    EXPECT_EQ(s.format, OutputFormat::Table);
    EXPECT_EQ(s.alive, Liveness::Ping);
    EXPECT_FALSE(s.all);

    SearchOptions stored;
    stored.domain = "corp.example";
    stored.method = DiscoveryMethod::Directory;
    stored.restrictToOrgUnit = true;
    stored.orgUnit = "Sales";
    stored.pingScan = false;
    EXPECT_EQ(searchOptionsFor(s, stored), stored);
}

TEST(CliOptions, FlagsOverrideTheStoredSettings)
{
    SearchOptions stored;
    stored.domain = "corp.example";
    stored.method = DiscoveryMethod::Directory;
    stored.restrictToOrgUnit = true;
    stored.orgUnit = "Sales";
    stored.serversOnly = true;
    stored.allowSimpleBind = true;

    SearchOptions o = searchOptionsFor(parse({"search", "--user", "a", "--no-ou", "--browse", "--ping",
                                              "--domain", "other.example", "--no-servers-only",
                                              "--no-allow-simple-bind"}).search,
                                       stored);
    EXPECT_EQ(o.domain, "other.example");
    EXPECT_EQ(o.method, DiscoveryMethod::BrowseList);
    EXPECT_FALSE(o.restrictToOrgUnit);
    EXPECT_EQ(o.orgUnit, "Sales"); // kept for the next time a unit is chosen
    EXPECT_FALSE(o.serversOnly);
    EXPECT_TRUE(o.pingScan);
    EXPECT_FALSE(o.allowSimpleBind);

    o = searchOptionsFor(parse({"search", "--user", "a", "--ou", "East", "--allow-simple-bind"}).search,
                         SearchOptions{});
    EXPECT_TRUE(o.allowSimpleBind);
    EXPECT_EQ(o.method, DiscoveryMethod::Directory);
    EXPECT_TRUE(o.restrictToOrgUnit);
    EXPECT_EQ(o.orgUnit, "East");
}

TEST(CliOptions, UsageErrorsNameTheProblem)
{
    EXPECT_EQ(usageError({}), "a command is needed: search, apply or reveal (see rostermill-cli --help)");
    EXPECT_EQ(usageError({"serch"}), "unknown command \"serch\": search, apply or reveal");
    EXPECT_EQ(usageError({"search"}), "search needs one of --user NAME, --group NAME or --builtin-admin");
    EXPECT_EQ(usageError({"search", "--user", "a", "--group", "b"}),
              "search needs one of --user NAME, --group NAME or --builtin-admin");
    for (const char* named : {"--user", "--group"})
        EXPECT_EQ(usageError({"search", "--builtin-admin", named, "a"}),
                  "--builtin-admin finds the account whatever its name: leave out --user and --group");
    EXPECT_EQ(usageError({"search", "--user"}), "--user needs a value");
    EXPECT_EQ(usageError({"search", "--user", "a", "--format", "xml"}),
              "--format takes table, csv or json, not \"xml\"");
    EXPECT_EQ(usageError({"search", "--user", "a", "--alive", "tcp"}), "--alive takes icmp, smb or both, not \"tcp\"");
    EXPECT_EQ(usageError({"search", "--user", "a", "--all=yes"}), "--all takes no value");
    EXPECT_EQ(usageError({"search", "--user", "a", "--frobnicate"}), "unknown option --frobnicate");
    EXPECT_EQ(usageError({"search", "--user", "a", "extra"}), "search takes no operand \"extra\"");
    EXPECT_EQ(usageError({"search", "--user", "a", "--ou", "X", "--browse"}), "--ou needs the directory, not --browse");
    EXPECT_EQ(usageError({"search", "--user", "a", "--password-fd", "3"}),
              "search sets no password: the sign-in password's descriptor is --as-password-fd");
    EXPECT_EQ(usageError({"search", "--user", "a", "--as-password-fd", "-1"}),
              "--as-password-fd needs a file descriptor number, not \"-1\"");
    EXPECT_EQ(usageError({"apply", "--enable", "--disable", "PC01\\a"}), "--enable and --disable exclude each other");
    EXPECT_EQ(usageError({"apply", "--password-fd", "3", "PC01\\a"}), "--password-fd goes with --set-password");
    EXPECT_EQ(usageError({"apply", "--targets", "f", "PC01\\a"}), "give targets as arguments or with --targets, not both");
    EXPECT_EQ(usageError({"apply", "-"}), "read targets from standard input with --targets -");
    EXPECT_EQ(usageError({"apply", "--builtin-admin", "PC01"}),
              "apply takes each computer's name for the built-in administrator from a search: pipe search "
              "--builtin-admin --format json into it");
}

TEST(CliOptions, ApplyTakesActionsAndTargets)
{
    const CommandLine c = parse({"apply", "--set-password", "--password-fd=3", "--rename", "admin2", "--disable",
                                 "--dry-run", "-y", "--log-dir", "/tmp/logs", "--user", "rmtest", "PC01", "PC02\\x",
                                 "--", "--odd"});
    ASSERT_EQ(c.kind, CommandLine::Kind::Apply);
    const ApplyArgs& a = c.apply;
    EXPECT_TRUE(a.setPassword);
    EXPECT_EQ(a.passwordFd, 3);
    EXPECT_EQ(*a.newName, "admin2");
    EXPECT_EQ(a.enabled, EnabledChoice::Disable);
    EXPECT_TRUE(a.dryRun);
    EXPECT_TRUE(a.yes);
    EXPECT_EQ(a.logFolder, "/tmp/logs");
    EXPECT_EQ(a.user, "rmtest");
    EXPECT_EQ(a.targets, (std::vector<std::string>{"PC01", "PC02\\x", "--odd"}));
    // A new name may be empty here: the batch's own check refuses it with its message.
    EXPECT_EQ(*parse({"apply", "--rename", "", "P\\a"}).apply.newName, "");
}

TEST(CliOptions, ThePasswordNeverComesFromTheCommandLine)
{
    EXPECT_EQ(usageError({"apply", "--set-password=secret", "PC01\\a"}), "--set-password takes no value");
    EXPECT_EQ(usageError({"apply", "--password", "secret", "PC01\\a"}), "unknown option --password");
}

TEST(CliOptions, HelpForEachCommand)
{
    EXPECT_EQ(parse({"--help"}).helpText, MainHelp);
    EXPECT_EQ(parse({"search", "--help"}).helpText, SearchHelp);
    EXPECT_EQ(parse({"apply", "-h"}).helpText, ApplyHelp);
    // Help wins over what is still missing.
    EXPECT_EQ(parse({"search", "--help"}).kind, CommandLine::Kind::Help);
    for (const char* flag : {"--alive", "--all", "--format", "--ou", "--computers", "--as"})
        EXPECT_NE(std::string(SearchHelp).find(flag), std::string::npos) << flag;
    for (const char* flag : {"--set-password", "--password-fd", "--rename", "--enable", "--disable", "--dry-run", "--yes"})
        EXPECT_NE(std::string(ApplyHelp).find(flag), std::string::npos) << flag;
}

} // namespace
} // namespace rm
