// Writes the activity logs and the list exports of one fixed input to
// tests/data/pages/, as this version of the program writes them, so later
// versions can be held to the same bytes.
#include "core/report/ActivityLog.h"
#include "gui/mainwindow/ListExports.h"
#include "gui/mainwindow/MemoryComputerList.h"
#include "core/batch/NetErrorText.h"
#include "support/Doubles.h"
#include "support/ReportDoubles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace rm {
namespace {

// 5 March 2006, 14:07:09 UTC.
constexpr std::time_t Moment = 1141567629;

class CapturingWriter : public FileWriter {
public:
    FileFailure replaceFile(const std::string& path, const std::string& contents) override
    {
        std::ofstream(std::string(PAGES_DIR) + "/" + name, std::ios::binary) << contents;
        paths.push_back(path);
        return FileFailure::None;
    }
    std::string name;
    std::vector<std::string> paths;
};

class PagesRecordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        clock.time = Moment;
    }
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    CapturingWriter files;
    FakeShell shell;
    ManualWallClock clock;
    ReportServices owner{prompter, chooser, files, shell, clock};
};

TEST_F(PagesRecordTest, ActivityLogs)
{
    std::vector<AccountOperation> ops(3);
    const char* computers[] = {"PC-ALPHA", "PC-\xCE\xB2" "eta", "PC-\xE2\x82\xAC" "URO"};
    const char* users[] = {"Administrator", "helpdesk", "svc"};
    const char* enabled[] = {"Yes", "No", "Yes"};
    const char* groups[] = {"Administrators, Users", "", "Line\nBreak & <Group>"};
    for (int i = 0; i < 3; ++i) {
        AccountOperation& op = ops[i];
        op.time = Moment;
        op.computerName = computers[i];
        op.userName = users[i];
        op.enabledText = enabled[i];
        op.groupsText = groups[i];
        op.renameRequested = op.passwordRequested = op.enableRequested = true;
        op.newUserName = "Op\xC3\xA9rateur & <Co>";
        op.enable = false;
    }
    ops[0].processed = ops[0].renameSucceeded = ops[0].passwordSucceeded = ops[0].enableSucceeded = true;
    ops[1].processed = ops[1].enableSucceeded = true;
    ops[1].passwordError = netErrorText(2245);
    ops[1].renameError = netErrorText(2224);
    files.name = "activity-log-rename-password-disable.html";
    writeActivityLog(ops, owner, "");

    std::vector<AccountOperation> enable(2);
    for (int i = 0; i < 2; ++i) {
        enable[i].time = Moment + i;
        enable[i].computerName = computers[i];
        enable[i].userName = users[i];
        enable[i].enabledText = "No";
        enable[i].groupsText = groups[i];
        enable[i].enableRequested = enable[i].enable = enable[i].processed = true;
    }
    enable[0].enableSucceeded = true;
    enable[1].enableError = netErrorText(53);
    files.name = "activity-log-enable.html";
    writeActivityLog(enable, owner, "");
    EXPECT_EQ(files.paths, (std::vector<std::string>{"Log 05-Mar-2006 02.07.09 PM.html",
                                                     "Log 05-Mar-2006 02.07.09 PM.html"}));
}

TEST_F(PagesRecordTest, Exports)
{
    MemoryComputerList list;
    const std::array<const char*, 6> rows[] = {
        {"PC-ALPHA", "Server (Win2003)", "Administrator", "Yes", "Administrators, Users", "42 days"},
        {"PC-ALPHA", "Server (Win2003)", "helpdesk", "No", "Help & <Desk>", "0 days"},
        {"pc-\xCE\xB2", "Workstation (WinXP)", "user\xE2\x82\xAC", "Yes", "", "3650 days"},
        {"PC-DISC", "Unknown (Hidden)", "", "", "", ""},
    };
    for (const auto& r : rows) {
        const int at = list.rowCount();
        list.insertRow(at, r[0]);
        for (int c = 1; c < 6; ++c)
            list.setCellText(at, c, r[c]);
    }
    files.name = "computer-list.html";
    HtmlReport listPage = computerListReport(list, owner);
    ASSERT_TRUE(listPage.write());

    for (bool groupMode : {true, false}) {
        SearchSummary s;
        s.accountName = "Help & <Desk> \xE2\x82\xAC";
        s.groupMode = groupMode;
        s.matched = {{"PC-ALPHA", "Server (Win2003)"}, {"pc-\xCE\xB2", "Workstation (WinXP)"}};
        s.notMatched = {{"PC-OFF", "Workstation", true}, {"PC-EMPTY", "Server", false}};
        s.totalFound = 4;
        s.offline = 1;
        s.notExist = 1;
        const std::pair<ResultsExport, const char*> kinds[] = {{ResultsExport::AllComputers, "all"},
                                                               {ResultsExport::NotMatched, "not-matched"},
                                                               {ResultsExport::Matched, "matched"}};
        for (const auto& [kind, stem] : kinds) {
            files.name = std::string("results-") + (groupMode ? "group-" : "user-") + stem + ".html";
            HtmlReport page = resultsReport(kind, s, owner);
            ASSERT_TRUE(page.write());
        }
    }
}

} // namespace
} // namespace rm
