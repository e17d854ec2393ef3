#include "gui/mainwindow/ReportFiles.h"
#include "support/Doubles.h"
#include "support/ReportDoubles.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

// Where the window's pages go: the save dialog and the view question of an
// export, the folder of the activity log, the stop box of a failed write.
class ReportFilesTest : public ::testing::Test {
protected:
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    RecordingFileWriter files;
    FakeShell shell;
    ReportFiles reports{{prompter, chooser, files, shell}};
    const HtmlReport page{{"Computer"}, {{"PC1"}}, "Computer List", "Rostermill - Computer List", 1796652309};
    const Message viewQuestion{"Rostermill - List Saved", "List saved.  View list now?", MessageButtons::YesNo,
                               MessageIcon::None};
};

TEST_F(ReportFilesTest, AnExportIsSavedWhereChosenThenViewedOnlyAfterYes)
{
    chooser.answers = {"/reports/a.html", "/reports/b.html"};
    prompter.answers = {MessageAnswer::No, MessageAnswer::Yes};
    reports.exportPage(page);
    reports.exportPage(page);
    ASSERT_EQ(chooser.requests.size(), 2u);
    const SaveFileRequest& asked = chooser.requests[0];
    EXPECT_EQ(asked.initialName, page.defaultFileName());
    EXPECT_EQ(asked.defaultExtension, "html");
    EXPECT_EQ(asked.filterLabel, "*.html");
    EXPECT_EQ(asked.filterPattern, "*.html");
    EXPECT_EQ(files.paths, (std::vector<std::string>{"/reports/a.html", "/reports/b.html"}));
    EXPECT_EQ(files.contents[0], page.fileContents());
    EXPECT_EQ(prompter.shown, (std::vector<Message>{viewQuestion, viewQuestion}));
    EXPECT_EQ(shell.opened, std::vector<std::string>{"/reports/b.html"});
}

TEST_F(ReportFilesTest, ACancelledSaveDialogWritesAndAsksNothing)
{
    reports.exportPage(page);
    EXPECT_EQ(chooser.requests.size(), 1u);
    EXPECT_TRUE(files.paths.empty());
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(ReportFilesTest, AnExportThatCannotBeWrittenShowsAStopBoxNamingFileAndCauseAndAsksNothingMore)
{
    files.failure = FileFailure::NotFound;
    chooser.answers = {"/gone/x.html"};
    prompter.answers = {MessageAnswer::Ok, MessageAnswer::Yes};
    reports.exportPage(page);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0],
              (Message{"Rostermill", "/gone/x.html was not found.", MessageButtons::Ok, MessageIcon::Stop}));
    EXPECT_TRUE(shell.opened.empty());

    files.failure = FileFailure::AccessDenied;
    chooser.answers = {"/taken.html"};
    reports.exportPage(page);
    EXPECT_EQ(prompter.shown.back().text, "Access to /taken.html was denied.");
    EXPECT_TRUE(shell.opened.empty());
}

TEST_F(ReportFilesTest, TheLogGoesUnderItsDefaultNameIntoItsFolderAndOpensWithoutAQuestion)
{
    const std::string name = page.defaultFileName();
    reports.saveLog(page, "/logs");
    reports.saveLog(page, "/logs/");
    reports.saveLog(page, ""); // the current folder
    EXPECT_EQ(files.paths, (std::vector<std::string>{"/logs/" + name, "/logs/" + name, name}));
    EXPECT_EQ(files.contents[0], page.fileContents());
    EXPECT_EQ(shell.opened, files.paths);
    EXPECT_TRUE(chooser.requests.empty());
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ReportFilesTest, ALogThatCannotBeWrittenIsReportedAndNotOpened)
{
    files.failure = FileFailure::AccessDenied;
    reports.saveLog(page, "/nowhere");
    const std::string path = "/nowhere/" + page.defaultFileName();
    EXPECT_EQ(prompter.shown,
              (std::vector<Message>{{"Rostermill", "Access to " + path + " was denied.", MessageButtons::Ok,
                                     MessageIcon::Stop}}));
    EXPECT_TRUE(shell.opened.empty());
}

} // namespace
} // namespace rm
