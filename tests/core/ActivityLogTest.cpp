#include "core/report/ActivityLog.h"
#include "adapters/linux/PosixFileWriter.h"
#include "support/Doubles.h"
#include "support/ReportDoubles.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace rm {
namespace {

using Row = std::vector<std::string>;

// The local time zone, set for one test.
class TimeZone {
public:
    explicit TimeZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ"))
            old_ = old, hadOld_ = true;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~TimeZone()
    {
        if (hadOld_)
            ::setenv("TZ", old_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string old_;
    bool hadOld_ = false;
};

// 5 March 2006, 14:07:09 UTC: a Sunday afternoon.
constexpr std::time_t SundayAfternoon = 1141567629;

class ActivityLogTest : public ::testing::Test {
protected:
    TimeZone utc{"UTC"};
    std::vector<AccountOperation> ops;

    AccountOperation& add(const std::string& computer, const std::string& user, const std::string& enabled)
    {
        AccountOperation& op = ops.emplace_back();
        op.time = SundayAfternoon;
        op.computerName = computer;
        op.userName = user;
        op.enabledText = enabled;
        op.groupsText = "Administrators, Users";
        op.password = "N3ver-Written";
        return op;
    }
};

TEST_F(ActivityLogTest, RenameAndPasswordTheSecondComputerUnreachable)
{
    for (const char* name : {"PC1", "PC2"}) {
        AccountOperation& op = add(name, "admin", "Yes");
        op.renameRequested = op.passwordRequested = true;
        op.newUserName = "root";
        op.processed = true;
    }
    ops[0].renameSucceeded = ops[0].passwordSucceeded = true;
    ops[1].renameError = ops[1].passwordError = "ERROR: Unknown error (53)";
    const ActivityLogTable log = activityLogTable(ops);
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
    AccountOperation& ok = add("PC1", "u", "Yes");
    ok.enableRequested = ok.enableSucceeded = ok.processed = true;
    AccountOperation& readFailed = add("PC2", "u", "Yes");
    readFailed.enableRequested = readFailed.processed = true;
    readFailed.enableError = "ERROR: The user name could not be found.";
    const ActivityLogTable log = activityLogTable(ops);
    EXPECT_EQ(log.columns, (Row{"Time", "Computer", "User Name", "Account Enabled", "Local Groups"}));
    EXPECT_EQ(log.rows[0][3], "No");
    // The failure, not the old state.
    EXPECT_EQ(log.rows[1][3], "ERROR: The user name could not be found.");
}

TEST_F(ActivityLogTest, AnEnableAndThePasswordAlone)
{
    AccountOperation& op = add("PC1", "u", "No");
    op.enableRequested = op.enable = op.enableSucceeded = op.processed = true;
    op.passwordRequested = true;
    op.passwordError = "ERROR: The user does not have access to the requested information.";
    const ActivityLogTable log = activityLogTable(ops);
    EXPECT_EQ(log.columns,
              (Row{"Time", "Computer", "User Name", "Changed Password?", "Account Enabled", "Local Groups"}));
    EXPECT_EQ(log.rows[0], (Row{"Sun 05-Mar-2006 02:07:09 PM", "PC1", "u",
                                "ERROR: The user does not have access to the requested information.", "Yes",
                                "Administrators, Users"}));
}

TEST_F(ActivityLogTest, TheColumnsFollowTheFirstOperation)
{
    add("PC1", "u", "Yes").renameRequested = false;
    AccountOperation& second = add("PC2", "v", "No");
    second.renameRequested = second.passwordRequested = true;
    const ActivityLogTable log = activityLogTable(ops);
    EXPECT_EQ(log.columns.size(), 5u);
    for (const Row& row : log.rows)
        EXPECT_EQ(row.size(), log.columns.size());
}

TEST_F(ActivityLogTest, OperationsNotReachedStillHaveARowWithEmptyActionCells)
{
    for (const char* name : {"PC1", "PC2", "PC3"}) {
        AccountOperation& op = add(name, "u", "Yes");
        op.renameRequested = op.passwordRequested = op.enableRequested = true;
        op.newUserName = "v";
    }
    ops[0].processed = ops[0].renameSucceeded = ops[0].passwordSucceeded = ops[0].enableSucceeded = true;
    const ActivityLogTable log = activityLogTable(ops);
    ASSERT_EQ(log.rows.size(), 3u);
    EXPECT_EQ(log.rows[0], (Row{"Sun 05-Mar-2006 02:07:09 PM", "PC1", "u", "v", "Yes", "No", "Administrators, Users"}));
    for (int r : {1, 2})
        EXPECT_EQ(log.rows[r], (Row{"Sun 05-Mar-2006 02:07:09 PM", ops[r].computerName, "u", "", "", "",
                                    "Administrators, Users"}));
    // A batch not touching the enabled state shows the row's own state.
    ops[1].enableRequested = false;
    EXPECT_EQ(activityLogTable(ops).rows[1][5], "Yes");
}

TEST_F(ActivityLogTest, NoCellHoldsThePassword)
{
    AccountOperation& op = add("PC1", "u", "Yes");
    op.passwordRequested = op.renameRequested = op.enableRequested = true;
    op.newUserName = "w";
    const AccountOperation failed = op;
    op.processed = op.passwordSucceeded = op.renameSucceeded = op.enableSucceeded = true;
    ops.push_back(failed);
    for (const Row& row : activityLogTable(ops).rows)
        for (const std::string& cell : row)
            EXPECT_EQ(cell.find("N3ver-Written"), std::string::npos) << cell;
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
    add("PC1", "u", "Yes").enableRequested = false;
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the test locale de_DE.UTF-8 is missing";
    std::tm t{};
    const std::time_t when = SundayAfternoon;
    gmtime_r(&when, &t);
    char german[64];
    std::strftime(german, sizeof german, "%a %b", &t);
    const std::string logged = activityLogTable(ops).rows.at(0).at(0);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(std::string(german), "So M\xC3\xA4r"); // the locale is in force
    EXPECT_EQ(logged, "Sun 05-Mar-2006 02:07:09 PM");
}

class WrittenActivityLogTest : public ActivityLogTest {
protected:
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    PosixFileWriter files;
    FakeShell shell;
    ManualWallClock clock;
    TempDir dir;

    void SetUp() override
    {
        clock.time = SundayAfternoon + 600;
        AccountOperation& op = add("PC1", "a&b", "Yes");
        op.passwordRequested = op.passwordSucceeded = op.processed = true;
    }
    static std::string read(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

TEST_F(WrittenActivityLogTest, WrittenUnderTheDefaultNameAndOpenedWithoutAQuestion)
{
    writeActivityLog(ops, {prompter, chooser, files, shell, clock}, dir.path().string());
    const std::filesystem::path file = dir / "Log 05-Mar-2006 02.17.09 PM.html";
    ASSERT_EQ(shell.opened, std::vector<std::string>{file.string()});
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(chooser.requests.empty());
    const std::string page = read(file);
    EXPECT_NE(page.find("<HEAD><TITLE>Rostermill Activity Log</TITLE></HEAD>\r\n<BODY>\r\n<H1>Rostermill Activity Log"
                        "</H1>\r\n<H3>File Generated: 05-Mar-2006 02.17.09 PM</H3>\r\n"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("<TR>\r\n<TH>Time</TH>\r\n<TH>Computer</TH>\r\n<TH>User Name</TH>\r\n<TH>Changed "
                        "Password?</TH>\r\n<TH>Account Enabled</TH>\r\n<TH>Local Groups</TH>\r\n</TR>\r\n"),
              std::string::npos);
    EXPECT_NE(page.find("<TR>\r\n<TD>Sun 05-Mar-2006 02:07:09 PM</TD>\r\n<TD>PC1</TD>\r\n<TD>a&amp;b</TD>\r\n"
                        "<TD>Yes</TD>\r\n<TD>Yes</TD>\r\n<TD>Administrators, Users</TD>\r\n</TR>\r\n"),
              std::string::npos);
    EXPECT_EQ(page.find("N3ver-Written"), std::string::npos);
}

TEST_F(WrittenActivityLogTest, ALogThatCannotBeWrittenIsReportedAndNotOpened)
{
    FailingFileWriter failing(FileFailure::AccessDenied);
    writeActivityLog(ops, {prompter, chooser, failing, shell, clock}, "/nowhere");
    ASSERT_EQ(failing.paths, std::vector<std::string>{"/nowhere/Log 05-Mar-2006 02.17.09 PM.html"});
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Stop);
    EXPECT_NE(prompter.shown[0].text.find("/nowhere/Log 05-Mar-2006 02.17.09 PM.html"), std::string::npos);
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(WrittenActivityLogTest, WithoutAFolderTheNameAloneGoesToTheCurrentFolder)
{
    FailingFileWriter failing(FileFailure::AccessDenied);
    writeActivityLog(ops, {prompter, chooser, failing, shell, clock}, "");
    EXPECT_EQ(failing.paths, std::vector<std::string>{"Log 05-Mar-2006 02.17.09 PM.html"});
}

} // namespace
} // namespace rm
