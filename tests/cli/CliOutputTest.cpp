// What the console program prints: the table, CSV and JSON of a search, the
// batch's lines and counts, and the targets it reads back.
#include "cli/ApplyTargets.h"
#include "cli/BatchReport.h"
#include "cli/CliOptions.h"
#include "cli/ConsolePrompter.h"
#include "cli/DropReason.h"
#include "cli/Formats.h"
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

ComputerRecord record(std::array<std::string, 6> cells)
{
    return {cells};
}

SearchReport sampleReport()
{
    SearchReport r;
    r.rows = {record({"PC01", "Workstation (WinXP SP2)", "Administrator", "Yes", "Administrators, Users", "12 days"}),
              record({"BÜRO-7", "Server", "Administrator", "No", "Administrators", "0 days"})};
    r.dropped = {{"PC06", "Unknown", "offline by ping"}, {"PC05", "Unknown", "access denied"}};
    r.summary.accountName = "Administrator";
    r.summary.totalFound = 5;
    r.summary.offline = 2;
    r.summary.notExist = 1;
    return r;
}

TEST(CliFormats, DisplayWidthCountsCharactersNotBytes)
{
    EXPECT_EQ(displayWidth("PC01"), 4u);
    EXPECT_EQ(displayWidth("BÜRO"), 4u);           // Ü is two bytes
    EXPECT_EQ(displayWidth("Bu\xCC\x88ro"), 4u);   // u and a combining diaeresis
    EXPECT_EQ(displayWidth("\xE6\x9D\xB1\xE4\xBA\xAC"), 4u); // two wide ideographs
    EXPECT_EQ(displayWidth("a\xFF" "b"), 3u);      // a stray byte takes a column
    EXPECT_EQ(displayWidth("\xE6\x9D"), 2u);       // a cut sequence: two stray bytes
}

TEST(CliFormats, TableColumnsLineUpWithNonAscii)
{
    const std::string text = alignedTable({{"Name", "Groups"}, {"BÜRO-7", "Admins"}, {"東京", "x"}, {"PC1", ""}});
    const auto l = lines(text);
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[0], "Name    Groups");
    EXPECT_EQ(l[1], "------  ------");
    EXPECT_EQ(l[2], "BÜRO-7  Admins");
    EXPECT_EQ(l[3], "東京    x");
    EXPECT_EQ(l[4], "PC1"); // no trailing blanks
}

TEST(CliFormats, TableCellsStayOnTheirLine)
{
    const auto l = lines(alignedTable({{"A", "B"}, {"x\ny", "t\tz"}}));
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[2], "x?y  t?z");
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
}

TEST(CliFormats, SearchTableHasTheSixColumnsAndTheCounts)
{
    SearchReport r = sampleReport();
    const auto l = lines(tableText(r));
    EXPECT_EQ(l[0], "Computer Name  Type                     User           Enabled  Groups                 Password Age");
    EXPECT_EQ(l[2], "PC01           Workstation (WinXP SP2)  Administrator  Yes      Administrators, Users  12 days");
    EXPECT_EQ(l[3], "BÜRO-7         Server                   Administrator  No       Administrators         0 days");
    EXPECT_EQ(l[4], "");
    EXPECT_EQ(l[5], "Total Computers Found:  5");
    EXPECT_EQ(l[6], "Offline:                2");
    EXPECT_EQ(l[7], "User doesn't exist:     1");
    EXPECT_EQ(l[8], "Computers Matched:      2");
    EXPECT_EQ(l.size(), 9u); // the dropped ones only with --all

    r.withDropped = true;
    r.summary.groupMode = true;
    const auto all = lines(tableText(r));
    EXPECT_EQ(all[5], "Computer Name  Type     Reason");
    EXPECT_EQ(all[7], "PC06           Unknown  offline by ping");
    EXPECT_EQ(all[8], "PC05           Unknown  access denied");
    EXPECT_EQ(all[12], "Group is empty:         1");
}

TEST(CliFormats, SearchCsvIsOneTable)
{
    SearchReport r = sampleReport();
    EXPECT_EQ(csvText(r), "Computer Name,Type,User,Enabled,Groups,Password Age\r\n"
                          "PC01,Workstation (WinXP SP2),Administrator,Yes,\"Administrators, Users\",12 days\r\n"
                          "BÜRO-7,Server,Administrator,No,Administrators,0 days\r\n");
    r.withDropped = true;
    const auto l = lines(csvText(r));
    EXPECT_EQ(l[0], "Computer Name,Type,User,Enabled,Groups,Password Age,Reason\r");
    EXPECT_EQ(l[1], "PC01,Workstation (WinXP SP2),Administrator,Yes,\"Administrators, Users\",12 days,\r");
    EXPECT_EQ(l[3], "PC06,Unknown,,,,,offline by ping\r");
}

TEST(CliFormats, SearchJsonEscapesAndReadsBack)
{
    SearchReport r = sampleReport();
    r.rows.push_back(record({"Q\"uote\\PC", "tab\there", "ctl\x01", "Yes", "a\nb", "1 days"}));
    r.rows.push_back(record({"bad\xFFutf8", "", "u", "Yes", "", "0 days"}));
    r.withDropped = true;
    const std::string text = jsonText(r);
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
    EXPECT_EQ(doc["computers"][0]["groups"], "Administrators, Users");
    EXPECT_EQ(doc["computers"][0]["passwordAge"], "12 days");
    EXPECT_EQ(doc["computers"][2]["computer"], "Q\"uote\\PC");
    EXPECT_EQ(doc["notMatched"][1]["reason"], "access denied");
    EXPECT_EQ(doc["counts"]["matched"], 2);
    EXPECT_EQ(doc["counts"]["offline"], 2);

    // What apply reads of it.
    const ApplyTargets t = parseTargets(text, "");
    ASSERT_EQ(t.rows.size(), 4u);
    EXPECT_EQ(t.rows[1].computerName, "BÜRO-7");
    EXPECT_EQ(t.rows[1].userName, "Administrator");
    EXPECT_EQ(t.rows[1].enabledText, "No");
    EXPECT_EQ(t.rows[0].groupsText, "Administrators, Users");
    EXPECT_FALSE(t.groupMode);
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
    EXPECT_EQ(t.rows[0].computerName, "PC01");
    EXPECT_EQ(t.rows[0].userName, "rmtest");
    EXPECT_EQ(t.rows[1].computerName, "PC02");
    EXPECT_EQ(t.rows[1].userName, "helpdesk");
    EXPECT_EQ(t.rows[2].userName, "localadmin");

    EXPECT_EQ(targetError("PC01\\a\nPC02\n"), "line 2: target \"PC02\" names no account (COMPUTER\\ACCOUNT, or give --user)");
    EXPECT_EQ(targetError("\\a\n"), "line 1: target \"\\a\" names no computer");
    EXPECT_EQ(targetError("{\"computers\": 3}"), "the JSON targets have no \"computers\" list");
    EXPECT_EQ(targetError("{\"computers\": [{\"computer\": \"PC01\"}]}"), "a JSON target lacks its \"user\"");
    EXPECT_EQ(targetError("{broken"), "the targets are not a JSON document of search --format json");
    EXPECT_TRUE(parseTargets("{\"mode\": \"group\", \"computers\": []}", "").groupMode);
}

TEST(CliTargets, TheSameAccountTwiceIsActedOnOnce)
{
    ApplyTargets t = parseTargets("PC01\\a\npc01\\A\nPC01\\b\nPC02\\a\n", "");
    settleTargets(t);
    ASSERT_EQ(t.rows.size(), 3u);
    EXPECT_EQ(t.rows[1].userName, "b");
    EXPECT_EQ(t.rows[2].rowIndex, 2);
}

TEST(CliReasons, EachFailureHasItsReason)
{
    AccountCheckResult r;
    r.notMatched = true;
    EXPECT_EQ(droppedByCheck(r, false), "account not found");
    EXPECT_EQ(droppedByCheck(r, true), "group empty or not found");
    r.failed = true;
    r.failure = ERROR_ACCESS_DENIED;
    EXPECT_EQ(droppedByCheck(r, false), "access denied");
    for (NetStatus s : {NetStatus(ERROR_BAD_NETPATH), NetStatus(RPC_S_SERVER_UNAVAILABLE), NetStatus(RPC_S_CALL_FAILED)}) {
        r.failure = s;
        EXPECT_EQ(droppedByCheck(r, false), "unreachable") << s;
    }
    r.failure = NERR_InvalidComputer;
    EXPECT_EQ(droppedByCheck(r, false), "check failed: The computer name is invalid.");
    r.failure = 4242;
    EXPECT_EQ(droppedByCheck(r, false), "check failed: Unknown error (4242)");
    EXPECT_EQ(droppedByLiveness(AliveMode::Icmp), "offline by ping");
}

AccountOperation operation(const std::string& computer, const std::string& user)
{
    AccountOperation op;
    op.computerName = computer;
    op.userName = user;
    op.passwordRequested = true;
    op.enableRequested = true;
    op.renameRequested = true;
    op.newUserName = "admin2";
    return op;
}

TEST(CliBatch, PlanOutcomesAndTheNineCounts)
{
    std::vector<AccountOperation> ops{operation("PC01", "rmtest"), operation("PC06", "rmtest"),
                                      operation("PC02", "x")};
    ops[1].enable = true;
    EXPECT_EQ(planText(ops),
              "PC01\\rmtest: would set the password, disable the account and rename it to \"admin2\"\n"
              "PC06\\rmtest: would set the password, enable the account and rename it to \"admin2\"\n"
              "PC02\\x: would set the password, disable the account and rename it to \"admin2\"\n");

    ops[0].processed = ops[1].processed = true;
    ops[0].passwordSucceeded = ops[0].enableSucceeded = ops[0].renameSucceeded = true;
    ops[1].passwordError = ops[1].enableError = ops[1].renameError = "ERROR: Unknown error (53)";
    const auto l = lines(outcomeText(ops));
    EXPECT_EQ(l[0], "PC01\\rmtest: password set; disabled; renamed to \"admin2\"");
    EXPECT_EQ(l[1], "PC06\\rmtest: password: ERROR: Unknown error (53); enable: ERROR: Unknown error (53); "
                    "rename: ERROR: Unknown error (53)");
    EXPECT_EQ(l[2], "PC02\\x: not reached (cancelled)");

    OperationCounters c;
    c.passwordSucceeded = 1;
    c.passwordFailed = 1;
    c.passwordTotal = 2;
    c.enableSucceeded = 2;
    c.enableTotal = 2;
    c.renameFailed = 3;
    c.renameTotal = 3;
    const BatchTotals t = BatchTotals::of(c, true);
    EXPECT_EQ(t.failed(), 4);
    const auto table = lines(totalsText(t));
    EXPECT_EQ(table[0], "            Rename User:  Change Password:  Enable/Disable:");
    EXPECT_EQ(table[1], "Succeeded:  0             1                 2");
    EXPECT_EQ(table[2], "Failed:     3             1                 0");
    EXPECT_EQ(table[3], "Total:      3             2                 2");
    EXPECT_EQ(table[4], "Operation Cancelled.");
    EXPECT_EQ(lines(totalsText(BatchTotals::of(c, false)))[4], "Operation Completed.");
}

TEST(CliPrompter, NoticesOnOneLineQuestionsAsConfigured)
{
    std::ostringstream err;
    ConsolePrompter p(err, {"Perform Operation"}, false);
    EXPECT_EQ(p.show({"Perform Operation", "Go?", MessageButtons::YesNo, MessageIcon::Question}), MessageAnswer::Yes);
    EXPECT_EQ(p.show({"Security Warning", "Empty?", MessageButtons::YesNo, MessageIcon::Exclamation}),
              MessageAnswer::No);
    EXPECT_EQ(p.declined(), "Security Warning");
    p.show({"Error", "Unable to ping:\n\nno raw socket.\n", MessageButtons::Ok, MessageIcon::Information});
    EXPECT_EQ(p.errorText(), ""); // the ping's notice lets the search go on
    p.show({"Error", "You must select one or more computers.", MessageButtons::Ok, MessageIcon::Stop});
    EXPECT_EQ(p.errorText(), "You must select one or more computers.");
    EXPECT_EQ(err.str(), "Error: Unable to ping: no raw socket.\n");
}

} // namespace
} // namespace rm
