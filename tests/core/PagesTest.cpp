// The activity logs and the list exports of one fixed input, byte for byte
// as recorded in tests/data/pages/ by an earlier version of the program;
// the logs also as made from their batch's journal.
#include "core/batch/BatchJournal.h"
#include "core/report/ActivityLog.h"
#include "core/report/ListExports.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace rm {
namespace {

// 5 March 2006, 14:07:09 UTC.
constexpr std::time_t Moment = 1141567629;

const char* const Computers[] = {"PC-ALPHA", "PC-\xCE\xB2" "eta", "PC-\xE2\x82\xAC" "URO"};
const char* const Users[] = {"Administrator", "helpdesk", "svc"};
const std::vector<std::string> Groups[] = {{"Administrators", "Users"}, {}, {"Line\nBreak & <Group>"}};

class PagesTest : public ::testing::Test {
protected:
    TimeZone utc{"UTC"};

    static void expectRecorded(const HtmlReport& page, const std::string& name)
    {
        std::ifstream in(std::string(PAGES_DIR) + "/" + name, std::ios::binary);
        ASSERT_TRUE(in) << name << " is missing";
        std::ostringstream file;
        file << in.rdbuf();
        const std::string recorded = file.str();
        const std::string written = page.fileContents();
        if (written == recorded)
            return;
        const auto diverge = std::mismatch(written.begin(), written.end(), recorded.begin(), recorded.end());
        const std::size_t at = static_cast<std::size_t>(diverge.first - written.begin());
        ADD_FAILURE() << name << " differs from byte " << at << ": written \"" << written.substr(at, 60)
                      << "\", recorded \"" << recorded.substr(at, 60) << "\"";
    }
    // The log of a finished batch is made from its journal: the same bytes.
    static void expectRecordedThroughJournal(const BatchOutcome& batch, const std::string& name)
    {
        expectRecorded(activityLog(batch, Moment), name);
        std::string journal = journalBatchLine(batch, Moment) + "\n";
        for (const AccountOutcome& a : batch.accounts)
            journal += journalAccountLine(a) + "\n";
        journal += journalEndLine(batch.cancelled) + "\n";
        const auto read = readJournal(journal);
        ASSERT_TRUE(std::holds_alternative<JournalContents>(read)) << std::get<JournalRefusal>(read).reason;
        EXPECT_TRUE(std::get<JournalContents>(read).finished);
        expectRecorded(activityLog(std::get<JournalContents>(read).batch, Moment), name);
    }
    static void done(ActionOutcome& action, NetStatus status = NetStatus::Success)
    {
        action.attempted = true;
        action.status = status;
    }
};

TEST_F(PagesTest, ActivityLogs)
{
    BatchOutcome all;
    all.rename = all.changePassword = true;
    all.newName = "Op\xC3\xA9rateur & <Co>";
    all.enabledChoice = EnabledChoice::Disable;
    const bool enabled[] = {true, false, true};
    for (int i = 0; i < 3; ++i) {
        AccountOutcome& a = all.accounts.emplace_back();
        a.time = Moment;
        a.target = {Computers[i], Users[i], enabled[i], Groups[i]};
        a.password.requested = a.enable.requested = a.rename.requested = true;
    }
    AccountOutcome& first = all.accounts[0];
    first.processed = true;
    done(first.rename), done(first.password), done(first.enable);
    AccountOutcome& second = all.accounts[1];
    second.processed = true;
    done(second.enable);
    done(second.password, NetStatus::PasswordTooShort);
    done(second.rename, NetStatus::AccountExists);
    const HtmlReport log = activityLog(all, Moment);
    EXPECT_EQ(log.defaultFileName(), "Log 05-Mar-2006 02.07.09 PM.html");
    expectRecordedThroughJournal(all, "activity-log-rename-password-disable.html");

    BatchOutcome enable;
    enable.enabledChoice = EnabledChoice::Enable;
    for (int i = 0; i < 2; ++i) {
        AccountOutcome& a = enable.accounts.emplace_back();
        a.time = Moment + i;
        a.target = {Computers[i], Users[i], false, Groups[i]};
        a.enable.requested = a.processed = true;
    }
    done(enable.accounts[0].enable);
    done(enable.accounts[1].enable, NetStatus::BadNetPath);
    expectRecordedThroughJournal(enable, "activity-log-enable.html");
}

TEST_F(PagesTest, Exports)
{
    const std::vector<ComputerRow> rows{
        {{"PC-ALPHA", "Server (Win2003)"}, AccountInfo{"Administrator", true, Groups[0], 42 * 86400, 500}},
        {{"PC-ALPHA", "Server (Win2003)"}, AccountInfo{"helpdesk", false, {"Help & <Desk>"}, 0, 1001}},
        {{"pc-\xCE\xB2", "Workstation (WinXP)"}, AccountInfo{"user\xE2\x82\xAC", true, {}, 3650 * 86400, 1002}},
        {{"PC-DISC", "Unknown (Hidden)"}, std::nullopt},
    };
    std::vector<ComputerCells> cells;
    for (const ComputerRow& row : rows)
        cells.push_back(computerCells(row));
    expectRecorded(computerListReport(cells, Moment), "computer-list.html");

    SearchOutcome outcome;
    outcome.matched = {{"PC-ALPHA", "Server (Win2003)"}, {"pc-\xCE\xB2", "Workstation (WinXP)"}};
    outcome.dropped = {{{"PC-OFF", "Workstation"}, DropReason::Offline},
                       {{"PC-EMPTY", "Server"}, DropReason::NotFound}};
    outcome.counts = {4, 1, 1};
    for (AccountKind kind : {AccountKind::Group, AccountKind::User}) {
        SearchRequest request;
        request.account = "Help & <Desk> \xE2\x82\xAC";
        request.kind = kind;
        const std::pair<ResultsExport, const char*> kinds[] = {{ResultsExport::AllComputers, "all"},
                                                               {ResultsExport::NotMatched, "not-matched"},
                                                               {ResultsExport::Matched, "matched"}};
        for (const auto& [which, stem] : kinds)
            expectRecorded(resultsReport(which, request, outcome, Moment),
                           std::string("results-") + (kind == AccountKind::Group ? "group-" : "user-") + stem
                               + ".html");
    }
}

} // namespace
} // namespace rm
