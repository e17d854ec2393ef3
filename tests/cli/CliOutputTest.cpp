// What the console program prints from outcomes made here: the table, CSV
// and JSON of a search, the reasons, the batch's plan, lines and counts, and
// the targets it reads back.
#include "cli/ApplyTargets.h"
#include "cli/BatchReport.h"
#include "cli/CliOptions.h"
#include "cli/DropReason.h"
#include "cli/Formats.h"
#include "cli/Notices.h"
#include "cli/SearchReport.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <sstream>

namespace rm {
namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

ComputerRow row(const std::string& computer, const std::string& type, const std::string& user, bool enabled,
                std::vector<std::string> groups, int days, std::uint32_t rid = 500)
{
    return {{computer, type}, AccountInfo{user, enabled, std::move(groups), days * 86400 + 5, rid}};
}

BatchTarget target(std::string computer, std::string user, std::optional<bool> enabled = std::nullopt,
                   std::vector<std::string> groups = {})
{
    return {std::move(computer), std::move(user), enabled, std::move(groups)};
}

// Two accounts found; PC06 silent to pings, PC05 refusing.
struct Sample {
    SearchRequest request;
    SearchOutcome outcome;
    Sample()
    {
        request.account = "Administrator";
        outcome.rows = {row("PC01", "Workstation (WinXP SP2)", "Administrator", true, {"Administrators", "Users"}, 12),
                        row("BÜRO-7", "Server", "Administrator", false, {"Administrators"}, 0, 1001)};
        outcome.dropped = {{{"PC06", "Unknown"}, DropReason::Offline},
                           {{"PC05", "Unknown"}, DropReason::AccessDenied, NetStatus::AccessDenied}};
        outcome.counts = {5, 2, 1};
    }
    SearchReport report(bool withDropped = false) const { return {request, outcome, withDropped}; }
};

TEST(CliFormats, DisplayWidthCountsCharactersNotBytes)
{
    EXPECT_EQ(displayWidth("PC01"), 4u);
    EXPECT_EQ(displayWidth("BÜRO"), 4u);           // Ü is two bytes
    EXPECT_EQ(displayWidth("Bu\xCC\x88ro"), 4u);   // u and a combining diaeresis
    EXPECT_EQ(displayWidth("\xE6\x9D\xB1\xE4\xBA\xAC"), 4u); // two wide ideographs
    EXPECT_EQ(displayWidth("a\xFF" "b"), 3u);      // a stray byte takes a column
    EXPECT_EQ(displayWidth("\xE6\x9D"), 2u);       // a cut sequence: two stray bytes
}

TEST(CliFormats, TableColumnsLineUpWithNonAsciiAndCellsStayOnTheirLine)
{
    const auto l = lines(alignedTable({{"Name", "Groups"}, {"BÜRO-7", "Admins"}, {"東京", "x"}, {"PC1", ""}}));
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[0], "Name    Groups");
    EXPECT_EQ(l[1], "------  ------");
    EXPECT_EQ(l[2], "BÜRO-7  Admins");
    EXPECT_EQ(l[3], "東京    x");
    EXPECT_EQ(l[4], "PC1"); // no trailing blanks

    // Names from the network may carry what a terminal obeys: C0, DEL, C1
    // (CSI as U+009B) and bytes no UTF-8 decoder takes.
    const auto c = lines(alignedTable({{"A", "B"}, {"x\ny", "t\tz"}, {"\x1B[2J\x7F", "\xC2\x9B" "31m\x9B" "1m"}}));
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[2], "x\\x0Ay       t\\x09z");
    EXPECT_EQ(c[3], "\\x1B[2J\\x7F  \\u009B31m\\x9B1m");
}

TEST(CliFormats, CsvQuotesWhatNeedsIt)
{
    EXPECT_EQ(csvField("PC01"), "PC01");
    EXPECT_EQ(csvField("Administrators, Users"), "\"Administrators, Users\"");
    EXPECT_EQ(csvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField(" padded"), "\" padded\"");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvText(TextRows{{"a", "b,c"}, {"", "d"}}), "a,\"b,c\"\r\n,d\r\n");
    // What a spreadsheet would run is text.
    EXPECT_EQ(csvField("=HYPERLINK(\"http://x\")"), "\"'=HYPERLINK(\"\"http://x\"\")\"");
    for (const char* formula : {"+1", "-1+2", "@SUM(A1)", "\tx", "\r=1"})
        EXPECT_EQ(csvField(formula).substr(0, 2), "\"'") << formula;
    EXPECT_EQ(csvField("a=b"), "a=b");
}

TEST(CliSearchReport, TableHasTheSixColumnsTheReasonsAndTheCounts)
{
    Sample s;
    const auto l = lines(tableText(s.report()));
    EXPECT_EQ(l[0], "Computer Name  Type                     User           Enabled  Groups                 Password Age");
    EXPECT_EQ(l[2], "PC01           Workstation (WinXP SP2)  Administrator  Yes      Administrators, Users  12 days");
    EXPECT_EQ(l[3], "BÜRO-7         Server                   Administrator  No       Administrators         0 days");
    EXPECT_EQ(l[4], "");
    EXPECT_EQ(l[5], "Total Computers Found:  5");
    EXPECT_EQ(l[6], "Offline:                2");
    EXPECT_EQ(l[7], "User doesn't exist:     1");
    EXPECT_EQ(l[8], "Computers Matched:      2");
    EXPECT_EQ(l.size(), 9u); // the dropped ones only with --all

    s.request.kind = AccountKind::Group;
    const auto all = lines(tableText(s.report(true)));
    EXPECT_EQ(all[5], "Computer Name  Type     Reason");
    EXPECT_EQ(all[7], "PC06           Unknown  offline by ping");
    EXPECT_EQ(all[8], "PC05           Unknown  access denied");
    EXPECT_EQ(all[12], "Group is empty:         1");
}

TEST(CliSearchReport, CsvIsOneTable)
{
    const Sample s;
    EXPECT_EQ(csvText(s.report()), "Computer Name,Type,User,Enabled,Groups,Password Age\r\n"
                                   "PC01,Workstation (WinXP SP2),Administrator,Yes,\"Administrators, Users\",12 days\r\n"
                                   "BÜRO-7,Server,Administrator,No,Administrators,0 days\r\n");
    const auto l = lines(csvText(s.report(true)));
    EXPECT_EQ(l[0], "Computer Name,Type,User,Enabled,Groups,Password Age,Reason\r");
    EXPECT_EQ(l[1], "PC01,Workstation (WinXP SP2),Administrator,Yes,\"Administrators, Users\",12 days,\r");
    EXPECT_EQ(l[3], "PC06,Unknown,,,,,offline by ping\r");
}

TEST(CliSearchReport, JsonIsTypedEscapedAndReadBackByApply)
{
    Sample s;
    s.outcome.rows.push_back(row("Q\"uote\\PC", "tab\there", "ctl\x01", true, {"a\nb"}, 1));
    s.outcome.rows.push_back(row("bad\xFFutf8", "", "u", true, {}, 0));
    const std::string text = jsonText(s.report(true));
    EXPECT_NE(text.find(R"("Q\"uote\\PC")"), std::string::npos);
    EXPECT_NE(text.find(R"("tab\there")"), std::string::npos);
    EXPECT_NE(text.find(R"("ctl\u0001")"), std::string::npos);
    EXPECT_NE(text.find(R"("a\nb")"), std::string::npos);
    EXPECT_NE(text.find("\"bad\xEF\xBF\xBDutf8\""), std::string::npos); // U+FFFD for the stray byte
    EXPECT_NE(text.find("\"BÜRO-7\""), std::string::npos);            // UTF-8 as it is

    const auto doc = nlohmann::json::parse(text);
    EXPECT_EQ(doc["account"], "Administrator");
    EXPECT_EQ(doc["mode"], "user");
    ASSERT_EQ(doc["computers"].size(), 4u);
    const auto& first = doc["computers"][0];
    EXPECT_EQ(first["enabled"], true);
    EXPECT_EQ(doc["computers"][1]["enabled"], false);
    EXPECT_EQ(first["groups"], nlohmann::json::array({"Administrators", "Users"}));
    EXPECT_EQ(doc["computers"][3]["groups"], nlohmann::json::array());
    EXPECT_EQ(first["passwordAgeDays"], 12);
    EXPECT_EQ(first["rid"], 500);
    EXPECT_EQ(doc["computers"][1]["rid"], 1001);
    EXPECT_EQ(doc["computers"][2]["computer"], "Q\"uote\\PC");
    EXPECT_EQ(doc["notMatched"][1]["reason"], "access denied");
    EXPECT_EQ(doc["counts"], nlohmann::json::parse(R"({"totalFound":5,"offline":2,"notExist":1,"matched":2})"));

    // What apply reads of it: the accounts with what the search knew of them.
    const ApplyTargets t = parseTargets(text, "");
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[0], target("PC01", "Administrator", true, {"Administrators", "Users"}));
    EXPECT_EQ(t.rows[1], target("BÜRO-7", "Administrator", false, {"Administrators"}));
    EXPECT_EQ(t.rows[2].groups, std::vector<std::string>{"a\nb"});
    EXPECT_TRUE(t.rows[3].groups.empty());
    EXPECT_FALSE(t.groupMode);

    // The built-in administrator has no one name: apply takes each row's.
    s.request.kind = AccountKind::BuiltinAdministrator;
    const std::string builtin = jsonText(s.report());
    EXPECT_FALSE(nlohmann::json::parse(builtin).contains("account"));
    EXPECT_EQ(nlohmann::json::parse(builtin)["mode"], "builtin-admin");
    EXPECT_EQ(parseTargets(builtin, "").rows[1], target("BÜRO-7", "Administrator", false, {"Administrators"}));
}

TEST(CliTargets, TheEarlierJsonWithTextsReadsAsTheTypedOne)
{
    // As earlier versions printed it: the enabled state and groups as the list's texts.
    const ApplyTargets old = parseTargets(R"({"account": "Helpdesk", "mode": "group", "computers": [
        {"computer": "PC01", "type": "", "user": "Administrator", "enabled": "Yes",
         "groups": "Administrators, Users", "passwordAge": "12 days"},
        {"computer": "PC01", "type": "", "user": "helpdesk", "enabled": "No", "groups": "", "passwordAge": "0 days"},
        {"computer": "PC02", "user": "x"}]})",
                                          "");
    EXPECT_TRUE(old.groupMode);
    ASSERT_EQ(old.rows.size(), 3u);
    EXPECT_EQ(old.rows[0], target("PC01", "Administrator", true, {"Administrators", "Users"}));
    EXPECT_EQ(old.rows[1], target("PC01", "helpdesk", false, {}));
    EXPECT_EQ(old.rows[2], target("PC02", "x")); // nothing known, nothing made up
}

std::string targetError(const std::string& text, const std::string& user = "")
{
    try {
        parseTargets(text, user);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "(accepted)";
}

TEST(CliTargets, LinesArgumentsAndTheirErrors)
{
    const ApplyTargets t = parseTargets("# rotation\nPC01\\rmtest\n\n  \\\\PC02/helpdesk \r\nPC03\n", "localadmin");
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0], target("PC01", "rmtest"));
    EXPECT_EQ(t.rows[1], target("PC02", "helpdesk"));
    EXPECT_EQ(t.rows[2], target("PC03", "localadmin"));

    EXPECT_EQ(targetError("PC01\\a\nPC02\n"), "line 2: target \"PC02\" names no account (COMPUTER\\ACCOUNT, or give --user)");
    EXPECT_EQ(targetError("\\a\n"), "line 1: target \"\\a\" names no computer");
    EXPECT_EQ(targetError("{\"computers\": 3}"), "the JSON targets have no \"computers\" list");
    EXPECT_EQ(targetError("{\"computers\": [{\"computer\": \"PC01\"}]}"), "computer 1 of the JSON targets lacks its \"user\"");
    EXPECT_EQ(targetError("{\"computers\": [{\"computer\": \"PC01\", \"user\": 7}]}"), "computer 1 of the JSON targets lacks its \"user\"");
    EXPECT_EQ(targetError("{\"computers\": [{\"computer\": \"\", \"user\": \"a\"}]}"),
              "computer 1 of the JSON targets has an empty computer or user");
    EXPECT_EQ(targetError("{broken"), "line 1: the targets are not a JSON document of search --format json");
    EXPECT_TRUE(parseTargets("{\"mode\": \"group\", \"computers\": []}", "").groupMode);
}

TEST(CliTargets, TheSameAccountTwiceIsActedOnOnce)
{
    ApplyTargets t = parseTargets("PC01\\a\npc01\\A\nPC01\\b\nPC02\\a\n", "");
    settleTargets(t);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[0], target("PC01", "a"));
    EXPECT_EQ(t.rows[1], target("PC01", "b"));
    EXPECT_EQ(t.rows[2], target("PC02", "a"));
    EXPECT_TRUE(t.groupMode); // two accounts of one computer are a group's members

    ApplyTargets distinct;
    distinct.rows = {target("A\\B", "C"), target("A", "B\\C")};
    settleTargets(distinct);
    EXPECT_EQ(distinct.rows.size(), 2u);
    EXPECT_FALSE(distinct.groupMode);
}

TEST(CliReasons, EachWayOfLeavingTheListHasItsWords)
{
    SearchRequest user, group, builtin;
    group.kind = AccountKind::Group;
    builtin.kind = AccountKind::BuiltinAdministrator;
    auto reason = [](DropReason r, NetStatus s, const SearchRequest& request) {
        return dropReasonText({{"PC", ""}, r, s}, request);
    };
    EXPECT_EQ(reason(DropReason::NotFound, NetStatus::Success, user), "account not found");
    EXPECT_EQ(reason(DropReason::NotFound, NetStatus::Success, group), "group empty or not found");
    EXPECT_EQ(reason(DropReason::NotFound, NetStatus::Success, builtin), "no built-in administrator account");
    EXPECT_EQ(reason(DropReason::AccessDenied, NetStatus::AccessDenied, user), "access denied");
    EXPECT_EQ(reason(DropReason::AccessDenied, NetStatus::LogonFailure, user), "access denied (logon failure)");
    EXPECT_EQ(reason(DropReason::Unreachable, NetStatus::BadNetPath, user), "unreachable");
    EXPECT_EQ(reason(DropReason::CheckFailed, NetStatus::InvalidComputer, user),
              "check failed: The computer name is invalid.");
    EXPECT_EQ(reason(DropReason::CheckFailed, NetStatus(4242), user), "check failed: Unknown error (4242)");
    EXPECT_EQ(reason(DropReason::CheckFailed, NetStatus::Cancelled, user), "check cancelled");

    const std::pair<Liveness, const char*> offline[] = {
        {Liveness::Ping, "offline by ping"},
        {Liveness::Port, "offline (no connection on port 445)"},
        {Liveness::PingOrPort, "offline by ping and no connection on port 445"}};
    for (const auto& [liveness, text] : offline) {
        user.liveness = liveness;
        EXPECT_EQ(reason(DropReason::Offline, NetStatus::Success, user), text);
    }
}

TEST(CliBatch, PlanOutcomesAndTheNineCounts)
{
    BatchRequest r;
    r.targets = {target("PC01", "rmtest"), target("PC06", "rmtest"), target("PC02", "x")};
    r.changePassword = true;
    r.rename = true;
    r.newName = "admin2";
    r.enabledChoice = EnabledChoice::Disable;
    EXPECT_EQ(planText(BatchPlan(std::move(r), {})),
              "3 accounts on 3 computers:\n"
              "PC01\\rmtest: would set the password, disable the account and rename it to \"admin2\"\n"
              "PC06\\rmtest: would set the password, disable the account and rename it to \"admin2\"\n"
              "PC02\\x: would set the password, disable the account and rename it to \"admin2\"\n");
    BatchRequest enableOnly;
    enableOnly.targets = {target("PC01", "rmtest")};
    enableOnly.enabledChoice = EnabledChoice::Enable;
    EXPECT_EQ(planText(BatchPlan(std::move(enableOnly), {})), "1 account on 1 computer:\nPC01\\rmtest: would enable the account\n");

    BatchOutcome o;
    o.changePassword = o.rename = true;
    o.newName = "admin2";
    o.enabledChoice = EnabledChoice::Disable;
    const ActionOutcome done{true, true, NetStatus::Success}, failed{true, true, NetStatus::BadNetPath},
        notReached{true, false, NetStatus::Success}, none{false, false, NetStatus::Success};
    o.accounts = {{target("PC01", "rmtest"), 0, true, done, done, done, {}},
                  {target("PC06", "rmtest"), 0, true, failed, failed, failed, {}},
                  {target("PC02", "x"), 0, false, notReached, notReached, notReached, {}}};
    const auto l = lines(outcomeText(o));
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "PC01\\rmtest: password set; disabled; renamed to \"admin2\"");
    EXPECT_EQ(l[1], "PC06\\rmtest: password: ERROR: Unknown error (53); disable: ERROR: Unknown error (53); "
                    "rename: ERROR: Unknown error (53)");
    EXPECT_EQ(l[2], "PC02\\x: not reached (cancelled)");
    o.enabledChoice = EnabledChoice::Enable;
    o.changePassword = o.rename = false;
    o.accounts = {{target("PC01", "rmtest"), 0, true, none, done, none, {}}};
    EXPECT_EQ(outcomeText(o), "PC01\\rmtest: enabled\n");

    BatchCounts c;
    c.password = {1, 1, 2};
    c.enable = {2, 0, 2};
    c.rename = {0, 3, 3};
    EXPECT_EQ(c.failed(), 4);
    const auto table = lines(totalsText(c, true));
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[0], "            Rename User:  Change Password:  Enable/Disable:");
    EXPECT_EQ(table[1], "Succeeded:  0             1                 2");
    EXPECT_EQ(table[2], "Failed:     3             1                 0");
    EXPECT_EQ(table[3], "Total:      3             2                 2");
    EXPECT_EQ(table[4], "Operation Cancelled.");
    EXPECT_EQ(lines(totalsText(c, false))[4], "Operation Completed.");
}

TEST(CliNotices, AMessageIsOneLineUnderItsTitle)
{
    std::ostringstream err;
    tell(err, {"Error", "Unable to ping:\n\n  no raw socket.\n", MessageButtons::Ok, MessageIcon::Information});
    EXPECT_EQ(err.str(), "Error: Unable to ping: no raw socket.\n");
    EXPECT_EQ(oneLine("\r\n a \t\tb  "), "a b");
}

} // namespace
} // namespace rm
