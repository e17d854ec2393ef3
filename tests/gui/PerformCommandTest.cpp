#include "settings/SettingsStore.h"
#include "gui/mainwindow/MainWindowController.h"
#include "gui/mainwindow/MainWindowIds.h"
#include "support/Doubles.h"
#include "gui/kit/MemoryDialogControls.h"
#include "gui/mainwindow/MemoryComputerList.h"
#include "support/MemoryProfileStore.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

class PerformCommandTest : public ::testing::Test {
protected:
    MemoryDialogControls controls{{{IdUserMode, IdGroupMode},
                                 {IdKeepEnabledState, IdEnableAccount, IdDisableAccount}}};
    MemoryComputerList list;
    MemoryProfileStore profile;
    SettingsStore settings{profile};
    ScriptedPrompter prompter;
    RecordingPoster poster;
    RecordingDialogs dialogs;
    FakeIdentity identity;
    SleepingWait wait;
    CountingWaitCursor waitCursor;
    MainWindowController controller{{controls, list, settings, prompter, poster, dialogs, identity, waitCursor, wait}};

    void SetUp() override
    {
        controls.setChecked(IdUserMode, true);
        controls.setChecked(IdKeepEnabledState, true);
        // Row 0 at the top.
        for (const auto& [name, user, enabled, groups] :
             std::vector<std::array<const char*, 4>>{{"PC3", "carol", "No", "Users"},
                                                     {"PC1", "alice", "Yes", "Administrators, Users"},
                                                     {"PC2", "bob", "Yes", ""}}) {
            list.rows.push_back({});
            list.rows.back().cells = {name, "Server", user, enabled, groups, "3 days"};
        }
    }
    std::map<int, MemoryDialogControls::State> inputs() const { return controls.controls; }
};

TEST_F(PerformCommandTest, TheSelectedRowsInListOrderBecomeTheBatchAndItsOutcomeTheirCells)
{
    list.rows[2].selected = list.rows[0].selected = true;
    controls.setChecked(IdChangeUsername, true);
    controls.setText(IdNewUserName, "renamed");
    controls.setChecked(IdDisableAccount, true);
    prompter.answers = {MessageAnswer::Yes};
    dialogs.onOperations = [](std::vector<AccountOperation>& ops) {
        ops[0].processed = ops[0].renameSucceeded = ops[0].enableSucceeded = true;
        ops[1].processed = true; // both failed
        ops[1].renameError = "ERROR: x";
    };
    controller.performCommand();

    ASSERT_EQ(dialogs.batches.size(), 1u);
    const auto& batch = dialogs.batches[0];
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_EQ(batch[0].rowIndex, 0);
    EXPECT_EQ(batch[0].computerName, "PC3");
    EXPECT_EQ(batch[0].userName, "carol");
    EXPECT_EQ(batch[0].enabledText, "No");
    EXPECT_EQ(batch[0].groupsText, "Users");
    EXPECT_EQ(batch[1].rowIndex, 2);
    EXPECT_EQ(batch[1].computerName, "PC2");
    EXPECT_EQ(batch[1].newUserName, "renamed");
    EXPECT_TRUE(batch[1].renameRequested && batch[1].enableRequested && !batch[1].enable);
    EXPECT_FALSE(batch[1].passwordRequested);

    EXPECT_EQ(list.cellText(0, CellUser), "renamed");
    EXPECT_EQ(list.cellText(0, CellEnabled), "No");
    EXPECT_EQ(list.cellText(1, CellUser), "alice");
    EXPECT_EQ(list.cellText(2, CellUser), "bob");
    EXPECT_EQ(list.cellText(2, CellEnabled), "Yes");
    // The log comes after the list update, with the batch's outcome.
    ASSERT_EQ(dialogs.logged.size(), 1u);
    EXPECT_TRUE(dialogs.logged[0][0].renameSucceeded);
    EXPECT_EQ(dialogs.logged[0][1].renameError, "ERROR: x");
}

TEST_F(PerformCommandTest, TheInputsAreReadFromTheirControls)
{
    list.rows[1].selected = true;
    controls.setChecked(IdChangePassword, true);
    controls.setText(IdPassword, "Secret");
    controls.setText(IdVerifyPassword, "Secret");
    controls.setChecked(IdEnableAccount, true);
    controls.setText(IdNewUserName, "not ticked");
    prompter.answers = {MessageAnswer::Yes};
    controller.performCommand();
    ASSERT_EQ(dialogs.batches.size(), 1u);
    const AccountOperation& op = dialogs.batches[0][0];
    EXPECT_TRUE(op.passwordRequested);
    EXPECT_EQ(op.password, "Secret");
    EXPECT_TRUE(op.enableRequested && op.enable);
    EXPECT_FALSE(op.renameRequested);
}

TEST_F(PerformCommandTest, GroupModeIsTheRadioOfTheMoment)
{
    list.rows[0].cells[CellName] = list.rows[1].cells[CellName] = "PC1";
    list.rows[0].selected = list.rows[1].selected = true;
    controls.setChecked(IdChangeUsername, true);
    controls.setText(IdNewUserName, "same");
    prompter.answers = {MessageAnswer::Yes};
    controller.performCommand(); // user mode: not tested
    EXPECT_EQ(dialogs.batches.size(), 1u);

    controls.setChecked(IdGroupMode, true);
    prompter = {};
    controller.performCommand();
    EXPECT_EQ(dialogs.batches.size(), 1u);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Multiple users (\"carol\" and \"alice\") are selected on the same machine "
                                      "(\"PC1\").  You cannot rename multiple users on the same machine to the same "
                                      "name.");
}

TEST_F(PerformCommandTest, ARefusalOrADeclineChangesNothing)
{
    list.rows[0].selected = true;
    controls.setChecked(IdChangePassword, true);
    controls.setText(IdPassword, "one");
    controls.setText(IdVerifyPassword, "two");
    controls.setChecked(IdChangeUsername, true);
    controls.setText(IdNewUserName, "new");
    const auto before = inputs();
    const auto rowsBefore = list.rows;
    controller.performCommand(); // the passwords differ
    controls.setText(IdVerifyPassword, "one");
    const auto matching = inputs();
    prompter.answers = {MessageAnswer::No};
    controller.performCommand(); // the confirmation declined
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0].text, "The two passwords do not match. Please re-enter the passwords.");
    EXPECT_EQ(prompter.shown[1].title, "Perform Operation");
    EXPECT_TRUE(dialogs.batches.empty());
    EXPECT_TRUE(dialogs.logged.empty());
    EXPECT_EQ(inputs().at(IdPassword).text, matching.at(IdPassword).text);
    EXPECT_EQ(before.at(IdNewUserName).text, inputs().at(IdNewUserName).text);
    EXPECT_EQ(inputs().at(IdChangePassword).checked, true);
    for (std::size_t r = 0; r < rowsBefore.size(); ++r) {
        EXPECT_EQ(list.rows[r].cells, rowsBefore[r].cells);
        EXPECT_EQ(list.rows[r].selected, rowsBefore[r].selected);
    }
}

} // namespace
} // namespace rm
