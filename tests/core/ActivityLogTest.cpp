#include "core/batch/Batch.h"
#include "core/report/ActivityLog.h"
#include "support/FakeNetwork.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <clocale>

namespace rm {
namespace {

using Row = std::vector<std::string>;

// 5 March 2006, 14:07:09 UTC: a Sunday afternoon.
constexpr std::time_t SundayAfternoon = 1141567629;

class ActivityLogTest : public ::testing::Test {
protected:
    TimeZone utc{"UTC"};
    BatchOutcome batch;

    // An account the batch was given; its actions as the batch asks.
    AccountOutcome& add(const std::string& computer, const std::string& user, std::optional<bool> enabled)
    {
        AccountOutcome& a = batch.accounts.emplace_back();
        a.time = SundayAfternoon;
        a.target = {computer, user, enabled, {"Administrators", "Users"}};
        a.password.requested = batch.changePassword;
        a.enable.requested = batch.enabledChoice != EnabledChoice::Keep;
        a.rename.requested = batch.rename;
        return a;
    }
    static void done(ActionOutcome& action, NetStatus status = NetStatus::Success)
    {
        action.attempted = true;
        action.status = status;
    }
};

TEST_F(ActivityLogTest, RenameAndPasswordTheSecondComputerUnreachable)
{
    batch.rename = batch.changePassword = true;
    batch.newName = "root";
    for (const char* name : {"PC1", "PC2"})
        add(name, "admin", true).processed = true;
    done(batch.accounts[0].rename);
    done(batch.accounts[0].password);
    done(batch.accounts[1].rename, NetStatus::BadNetPath);
    done(batch.accounts[1].password, NetStatus::BadNetPath);
    const ActivityLogTable log = activityLogTable(batch);
    EXPECT_EQ(log.columns, (Row{"Time", "Computer", "Old User Name", "New User Name", "Changed Password?",
                                "Account Enabled", "Local Groups"}));
    ASSERT_EQ(log.rows.size(), 2u);
    const std::string time = "Sun 05-Mar-2006 02:07:09 PM";
    EXPECT_EQ(log.rows[0], (Row{time, "PC1", "admin", "root", "Yes", "Yes", "Administrators, Users"}));
    EXPECT_EQ(log.rows[1], (Row{time, "PC2", "admin", "ERROR: Unknown error (53)", "ERROR: Unknown error (53)", "Yes",
                                "Administrators, Users"}));
}

TEST_F(ActivityLogTest, OnlyADisable)
{
    batch.enabledChoice = EnabledChoice::Disable;
    done(add("PC1", "u", true).enable);
    done(add("PC2", "u", true).enable, NetStatus::UserNotFound);
    const ActivityLogTable log = activityLogTable(batch);
    EXPECT_EQ(log.columns, (Row{"Time", "Computer", "User Name", "Account Enabled", "Local Groups"}));
    EXPECT_EQ(log.rows[0][3], "No");
    // The failure, not the old state.
    EXPECT_EQ(log.rows[1][3], "ERROR: The user name could not be found.");
}

TEST_F(ActivityLogTest, AnEnableAndThePasswordAlone)
{
    batch.enabledChoice = EnabledChoice::Enable;
    batch.changePassword = true;
    AccountOutcome& a = add("PC1", "u", false);
    done(a.enable);
    done(a.password, NetStatus::AccessDenied);
    const ActivityLogTable log = activityLogTable(batch);
    EXPECT_EQ(log.columns,
              (Row{"Time", "Computer", "User Name", "Changed Password?", "Account Enabled", "Local Groups"}));
    EXPECT_EQ(log.rows[0], (Row{"Sun 05-Mar-2006 02:07:09 PM", "PC1", "u",
                                "ERROR: The user does not have access to the requested information.", "Yes",
                                "Administrators, Users"}));
}

TEST_F(ActivityLogTest, AccountsNotReachedStillHaveARowWithEmptyActionCells)
{
    batch.rename = batch.changePassword = true;
    batch.enabledChoice = EnabledChoice::Disable;
    batch.newName = "v";
    for (const char* name : {"PC1", "PC2", "PC3"})
        add(name, "u", true);
    AccountOutcome& first = batch.accounts[0];
    first.processed = true;
    done(first.rename), done(first.password), done(first.enable);
    const ActivityLogTable log = activityLogTable(batch);
    ASSERT_EQ(log.rows.size(), 3u);
    EXPECT_EQ(log.rows[0], (Row{"Sun 05-Mar-2006 02:07:09 PM", "PC1", "u", "v", "Yes", "No", "Administrators, Users"}));
    for (int r : {1, 2})
        EXPECT_EQ(log.rows[r], (Row{"Sun 05-Mar-2006 02:07:09 PM", batch.accounts[r].target.computer, "u", "", "", "",
                                    "Administrators, Users"}));
    for (const Row& row : log.rows)
        EXPECT_EQ(row.size(), log.columns.size());
}

TEST_F(ActivityLogTest, ABatchNotTouchingTheEnabledStateShowsTheAccountsOwn)
{
    batch.changePassword = true;
    add("PC1", "u", true);
    add("PC2", "u", false);
    add("PC3", "u", std::nullopt); // not known to the list
    const ActivityLogTable log = activityLogTable(batch);
    ASSERT_EQ(log.rows.size(), 3u);
    EXPECT_EQ(log.rows[0][4], "Yes");
    EXPECT_EQ(log.rows[1][4], "No");
    EXPECT_EQ(log.rows[2][4], "");
    EXPECT_TRUE(activityLogTable(BatchOutcome{}).columns.empty()); // nothing selected: no table
}

TEST_F(ActivityLogTest, ThePageIsNamedAndStampedWhenItIsMade)
{
    batch.changePassword = true;
    AccountOutcome& a = add("PC1", "a&b", true);
    done(a.password);
    a.processed = true;
    const HtmlReport page = activityLog(batch, SundayAfternoon + 600);
    EXPECT_EQ(page.defaultFileName(), "Log 05-Mar-2006 02.17.09 PM.html");
    const std::string file = page.fileContents();
    EXPECT_NE(file.find("<HEAD><TITLE>Rostermill Activity Log</TITLE></HEAD>\r\n<BODY>\r\n<H1>Rostermill Activity Log"
                        "</H1>\r\n<H3>File Generated: 05-Mar-2006 02.17.09 PM</H3>\r\n"),
              std::string::npos)
        << file;
    EXPECT_NE(file.find("<TR>\r\n<TH>Time</TH>\r\n<TH>Computer</TH>\r\n<TH>User Name</TH>\r\n<TH>Changed "
                        "Password?</TH>\r\n<TH>Account Enabled</TH>\r\n<TH>Local Groups</TH>\r\n</TR>\r\n"),
              std::string::npos);
    EXPECT_NE(file.find("<TR>\r\n<TD>Sun 05-Mar-2006 02:07:09 PM</TD>\r\n<TD>PC1</TD>\r\n<TD>a&amp;b</TD>\r\n"
                        "<TD>Yes</TD>\r\n<TD>Yes</TD>\r\n<TD>Administrators, Users</TD>\r\n</TR>\r\n"),
              std::string::npos);
}

TEST_F(ActivityLogTest, TheLogOfAnAppliedBatchNeverHoldsThePassword)
{
    FakeNetwork network;
    network.computers["\\\\PC1"].accounts["u"] = {};
    BatchRequest request;
    request.targets = {{"PC1", "u", true, {}}, {"PC2", "u", true, {}}}; // the second fails
    request.changePassword = request.rename = true;
    request.newName = "w";
    request.password = Secret(std::string("N3ver-Written"));
    Progress<BatchCounts> progress;
    const BatchOutcome outcome =
        apply(BatchPlan(std::move(request), {}), SundayAfternoon, network, progress, CancelToken());
    ASSERT_EQ(network.passwords.at("\\\\PC1 u"), "N3ver-Written");
    const std::string file = activityLog(outcome, SundayAfternoon).fileContents();
    EXPECT_NE(file.find("<TD>PC2</TD>"), std::string::npos);
    EXPECT_EQ(file.find("N3ver-Written"), std::string::npos);
}

TEST_F(ActivityLogTest, TheTimeOnTheTwelveHourClock)
{
    EXPECT_EQ(activityLogTime(1141516800), "Sun 05-Mar-2006 12:00:00 AM"); // midnight
    EXPECT_EQ(activityLogTime(1141516800 + 12 * 3600), "Sun 05-Mar-2006 12:00:00 PM");
    EXPECT_EQ(activityLogTime(1141516800 + 11 * 3600 + 59 * 60 + 59), "Sun 05-Mar-2006 11:59:59 AM");
    EXPECT_EQ(activityLogTime(1141516800 - 1), "Sat 04-Mar-2006 11:59:59 PM");
    EXPECT_EQ(activityLogTime(1798675200), "Thu 31-Dec-2026 12:00:00 AM");
    TimeZone tokyo("JST-9");
    EXPECT_EQ(activityLogTime(SundayAfternoon), "Sun 05-Mar-2006 11:07:09 PM"); // local time
}

// Under the German locale the build makes beside the tests (LOCPATH).
TEST_F(ActivityLogTest, TheTimeCellIsEnglishWhateverTheLocale)
{
    add("PC1", "u", true);
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the test locale de_DE.UTF-8 is missing";
    std::tm t{};
    const std::time_t when = SundayAfternoon;
    gmtime_r(&when, &t);
    char german[64];
    std::strftime(german, sizeof german, "%a %b", &t);
    const std::string logged = activityLogTable(batch).rows.at(0).at(0);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(std::string(german), "So M\xC3\xA4r"); // the locale is in force
    EXPECT_EQ(logged, "Sun 05-Mar-2006 02:07:09 PM");
}

} // namespace
} // namespace rm
