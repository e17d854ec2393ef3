// The batch journal read back: a line cut short by a kill is left out,
// anything else that does not read is refused; and a journal an earlier
// batch left becomes its log at the next start unless its batch still runs.
#include "core/batch/BatchJournal.h"
#include "core/report/ActivityLog.h"
#include "core/report/BatchRecord.h"
#include "support/ReportDoubles.h"
#include "support/TimeZone.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

// 5 March 2006, 14:07:09 UTC.
constexpr std::time_t Moment = 1141567629;

class BatchJournalTest : public ::testing::Test {
protected:
    TimeZone utc{"UTC"};
    BatchOutcome batch;

    BatchJournalTest()
    {
        batch.changePassword = true;
        batch.enabledChoice = EnabledChoice::Disable;
        for (const char* computer : {"PC1", "PC 2", "PC3"}) {
            AccountOutcome& a = batch.accounts.emplace_back();
            a.time = Moment;
            a.target = {computer, "admin", true, {"Administrators", "A,B %20"}};
            a.password.requested = a.enable.requested = true;
        }
        for (int i = 0; i < 2; ++i) {
            AccountOutcome& a = batch.accounts[i];
            a.processed = a.password.attempted = a.enable.attempted = true;
        }
        batch.accounts[1].enable.status = NetStatus::AccessDenied;
    }
    // The batch line and the first `accounts` account lines.
    std::string journal(std::size_t accounts) const
    {
        std::string text = journalBatchLine(batch, Moment) + "\n";
        for (std::size_t i = 0; i < accounts; ++i)
            text += journalAccountLine(batch.accounts[i]) + "\n";
        return text;
    }
};

TEST_F(BatchJournalTest, ACutLastLineIsLeftOutAndGarbageIsRefused)
{
    const std::string two = journal(2);
    const auto whole = readJournal(two);
    ASSERT_TRUE(std::holds_alternative<JournalContents>(whole));
    const JournalContents& read = std::get<JournalContents>(whole);
    EXPECT_FALSE(read.finished);
    EXPECT_EQ(read.confirmed, Moment);
    ASSERT_EQ(read.batch.accounts.size(), 2u);
    EXPECT_EQ(read.batch.accounts[1].target, batch.accounts[1].target);
    EXPECT_EQ(read.batch.accounts[1].enable.status, NetStatus::AccessDenied);
    EXPECT_EQ(read.batch.counts.enable, (BatchCounts::Count{1, 1, 2}));

    // The third line as a power cut leaves it: cut short, or zeros after the last line end.
    const std::string third = journalAccountLine(batch.accounts[2]);
    for (const std::string& cut : {two + third.substr(0, 20), two + std::string(300, '\0')}) {
        const auto r = readJournal(cut);
        ASSERT_TRUE(std::holds_alternative<JournalContents>(r));
        EXPECT_EQ(std::get<JournalContents>(r).batch.accounts.size(), 2u);
    }

    const std::pair<std::string, std::size_t> refused[] = {
        {"", 1},
        {"\x7f" "ELF\n", 1},
        {journalAccountLine(batch.accounts[0]) + "\n", 1},
        {two + two, 4},
        {two + third.substr(0, 20) + "\n", 4},
        {two + std::string(300, '\0') + "\n", 4},
        {two + "RMJ1 account 1 PC%2 u - - 1 0 0 -\n", 4},
        {two + "RMJ1 account 99999999999999999999 PC u - - 1 0 0 -\n", 4},
        {two + "RMJ1 account 1 PC u - - 1 - - -\n", 4}, // actions not the batch's
        {two + journalEndLine(false) + "\n" + journalAccountLine(batch.accounts[2]) + "\n", 5},
        {"RMJ2 batch 0 0 keep 0 \n", 1},
    };
    for (const auto& [text, line] : refused) {
        const auto r = readJournal(text);
        ASSERT_TRUE(std::holds_alternative<JournalRefusal>(r)) << text;
        EXPECT_EQ(std::get<JournalRefusal>(r).line, line) << text;
    }
}

TEST_F(BatchJournalTest, ALeftJournalBecomesItsLogUnlessItsBatchStillRuns)
{
    MemoryJournalFiles journals;
    RecordingFileWriter files;
    BatchRequest request;
    request.changePassword = true;
    request.password = Secret::copyOf("Never-Written-1");
    request.enabledChoice = EnabledChoice::Disable;
    StartedJournal running = startJournal(journals, "/logs", request, Moment);
    ASSERT_TRUE(running.journal);
    EXPECT_EQ(running.path, "/logs/Log 05-Mar-2006 02.07.09 PM.html.journal");
    // A second batch in the same second gets a name of its own.
    StartedJournal second = startJournal(journals, "/logs", request, Moment);
    EXPECT_EQ(second.path, "/logs/Log 05-Mar-2006 02.07.09 PM (2).html.journal");
    second.journal.reset(); // killed before its first account: a log with no rows
    journals.files["/logs/Log 01-Jan-2006 01.00.00 AM.html.journal"] = "garbage\n";
    journals.files["/logs/notes.journal"] = "the user's own\n";
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(running.journal->record(batch.accounts[i]));

    // The running batch's journal is not taken.
    std::vector<FoundJournal> found = recoverJournals(journals, files, "/logs", Moment + 60);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].refusal->line, 1u);
    EXPECT_EQ(found[1].log, "/logs/Log 05-Mar-2006 02.07.09 PM (2).html");
    EXPECT_TRUE(found[1].logWritten() && found[1].interrupted);
    EXPECT_EQ(journals.files.size(), 3u);

    // Killed: its log holds the accounts whose actions ended, and says the batch did not finish.
    running.journal.reset();
    found = recoverJournals(journals, files, "/logs", Moment + 60);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(found[1].logWritten() && found[1].interrupted);
    EXPECT_EQ(files.paths.back(), "/logs/Log 05-Mar-2006 02.07.09 PM.html");
    BatchOutcome reached = batch;
    reached.accounts.pop_back();
    HtmlReport expected = activityLog(reached, Moment + 60);
    expected.setNote("This batch did not finish. Only the accounts whose actions had ended are listed; an account "
                     "it was working on when it stopped may have changed too.");
    EXPECT_EQ(files.contents.back(), expected.fileContents());
    EXPECT_EQ(journals.files.size(), 2u); // the garbage and the user's own are left
    for (const auto& [path, text] : journals.files)
        EXPECT_EQ(text.find("Never-Written-1"), std::string::npos);
}

} // namespace
} // namespace rm
