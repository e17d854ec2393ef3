#include "gui/MainWindowFixture.h"

namespace rm {
namespace {

// "Perform and Log Actions": the request read from the controls and the
// selected rows, its refusals and questions as boxes, the outcome written
// back into the rows and handed to the log.
class PerformCommandTest : public MainWindowFixture {
protected:
    void SetUp() override
    {
        controls.setChecked(IdUserMode, true);
        controls.setChecked(IdKeepEnabledState, true);
        wallClock.time = 1141568829;
        // Row 0 at the top.
        list.setRows({row("PC3", "carol", false, {"Users"}), row("PC1", "alice", true, {"Administrators", "Users"}),
                      row("PC2", "bob", false, {})});
        controller.setSearchDone(true);
    }
    ComputerRow row(const std::string& computer, const std::string& user, bool enabled,
                    std::vector<std::string> groups)
    {
        account(computer, user, enabled, groups);
        return {{computer, "Server"}, AccountInfo{user, enabled, std::move(groups), 3 * 86400, 1000}};
    }
    using MainWindowFixture::row;
    std::vector<ComputerRow> rows() const
    {
        std::vector<ComputerRow> out;
        for (int r = 0; r < list.rowCount(); ++r)
            out.push_back(list.row(r));
        return out;
    }
};

TEST_F(PerformCommandTest, TheSelectedRowsInListOrderBecomeTheBatchAndItsOutcomeTheirRows)
{
    list.setSelected(2, true);
    list.setSelected(0, true);
    controls.setChecked(IdChangeUsername, true);
    controls.setText(IdNewUserName, "renamed");
    controls.setChecked(IdEnableAccount, true);
    net.network.changeStatus["\\\\PC2"] = NetStatus::AccessDenied;
    prompter.answers = {MessageAnswer::Yes};
    controller.performCommand();

    EXPECT_EQ(titles(), std::vector<std::string>{"Perform Operation"});
    EXPECT_EQ(net.identity.credentialsAsked, 1);
    EXPECT_EQ(dialogs.confirmedAt, wallClock.time);
    EXPECT_EQ(net.network.changes, (std::vector<std::string>{"\\\\PC3 carol enabled 1", "\\\\PC3 carol rename renamed",
                                                             "\\\\PC2 bob enabled 1", "\\\\PC2 bob rename renamed"}));
    // What succeeded shows in its row; the rest stays as it was.
    EXPECT_EQ(row(0), (std::vector<std::string>{"PC3", "Server", "renamed", "Yes", "Users", "3 days"}));
    EXPECT_EQ(row(1), (std::vector<std::string>{"PC1", "Server", "alice", "Yes", "Administrators, Users", "3 days"}));
    EXPECT_EQ(row(2), (std::vector<std::string>{"PC2", "Server", "bob", "No", "", "3 days"}));
    EXPECT_TRUE(list.isSelected(0) && list.isSelected(2));

    // The log gets the outcome, each account as its row showed it.
    ASSERT_EQ(dialogs.logged.size(), 1u);
    const BatchOutcome& logged = dialogs.logged[0];
    ASSERT_EQ(logged.accounts.size(), 2u);
    EXPECT_EQ(logged.accounts[0].target, (BatchTarget{"PC3", "carol", false, {"Users"}}));
    EXPECT_EQ(logged.accounts[1].target, (BatchTarget{"PC2", "bob", false, {}}));
    EXPECT_TRUE(logged.accounts[0].rename.succeeded());
    EXPECT_TRUE(logged.accounts[1].rename.failed());
}

TEST_F(PerformCommandTest, ThePasswordAndTheEnabledStateAreReadFromTheirControls)
{
    list.setSelected(1, true);
    controls.setChecked(IdChangePassword, true);
    controls.setText(IdPassword, "Secret");
    controls.setText(IdVerifyPassword, "Secret");
    controls.setChecked(IdDisableAccount, true);
    controls.setText(IdNewUserName, "not ticked");
    prompter.answers = {MessageAnswer::Yes};
    controller.performCommand();
    EXPECT_EQ(net.network.changes, (std::vector<std::string>{"\\\\PC1 alice password", "\\\\PC1 alice enabled 0"}));
    EXPECT_EQ(net.network.passwords.at("\\\\PC1 alice"), "Secret");
    EXPECT_EQ(row(1)[CellEnabled], "No");
    EXPECT_EQ(row(1)[CellUser], "alice");
}

// A generated password for each account: the typed ones stay out of the
// request, which carries the window's options and, for passphrases, the
// dictionary's words.
TEST_F(PerformCommandTest, UniquePasswordsCarryTheOptionsAndWordsInsteadOfTheTypedPassword)
{
    std::string dictionary;
    for (int i = 0; i < 300; ++i)
        dictionary += "word" + std::to_string(i) + "\n";
    reader.files["/lists/words.txt"] = dictionary;
    PasswordOptions& options = controller.passwordOptions();
    options.recipients = "ops@example.org";
    options.dictionaryFile = "/lists/words.txt";
    controls.setChecked(IdChangePassword, true);
    controls.setText(IdPassword, "typed");
    controls.setText(IdVerifyPassword, "typed");
    controls.setChecked(IdGenerateUnique, true);

    for (bool passwords : {true, false}) {
        options.passwords = passwords;
        const BatchRequest r = controller.batchRequest({1});
        EXPECT_TRUE(r.changePassword);
        EXPECT_TRUE(r.password.empty());
        EXPECT_TRUE(r.verification.empty());
        ASSERT_TRUE(r.generated);
        EXPECT_EQ(r.generated->options.recipients, "ops@example.org");
        EXPECT_EQ(r.generated->options.passwords, passwords);
        EXPECT_TRUE(r.generated->options.generateUnique);
        EXPECT_FALSE(r.generated->length);
        if (passwords) {
            EXPECT_TRUE(r.generated->words.empty()); // no dictionary read for characters
        } else {
            ASSERT_EQ(r.generated->words.size(), 300u);
            EXPECT_EQ(r.generated->words.front(), "word0");
            EXPECT_EQ(r.generated->words.back(), "word299");
        }
    }

    // Performed: the keys are looked for while the window waits, not on its
    // thread; a recipient without one stops it before any question.
    list.setSelected(1, true);
    cipher.keyless = {"ops@example.org"};
    controller.performCommand();
    EXPECT_EQ(dialogs.waits, 1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "The generated passwords would be lost: no usable encryption key for ops@example.org.");
    EXPECT_EQ(dialogs.batchRuns, 0);
    cipher.keyless.clear();
    prompter.answers = {MessageAnswer::No};
    controller.performCommand();
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_NE(prompter.shown[1].text.find("Set a unique generated password for each of 1 accounts"), std::string::npos)
        << prompter.shown[1].text;

    // Unticked, the typed password is the request's again.
    controls.setChecked(IdGenerateUnique, false);
    const BatchRequest typed = controller.batchRequest({1});
    EXPECT_FALSE(typed.generated);
    EXPECT_TRUE(typed.verification.matches(Secret::copyOf("typed")));
}

TEST_F(PerformCommandTest, GroupModeIsTheRadioOfTheMoment)
{
    std::vector<ComputerRow> same = rows();
    same[1].computer.name = same[0].computer.name = "PC1";
    list.setRows(same);
    list.setSelected(0, true);
    list.setSelected(1, true);
    controls.setChecked(IdChangeUsername, true);
    controls.setText(IdNewUserName, "same");
    controls.setChecked(IdGroupMode, true);
    controller.performCommand();
    EXPECT_EQ(dialogs.batchRuns, 0);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Multiple users (\"carol\" and \"alice\") are selected on the same machine "
                                      "(\"PC1\").  You cannot rename multiple users on the same machine to the same "
                                      "name.");

    controls.setChecked(IdUserMode, true); // not tested
    prompter.answers = {MessageAnswer::Yes};
    controller.performCommand();
    EXPECT_EQ(dialogs.batchRuns, 1);
}

TEST_F(PerformCommandTest, ARefusalOrADeclinedQuestionChangesNothing)
{
    list.setSelected(0, true);
    controls.setChecked(IdChangePassword, true);
    controls.setText(IdPassword, "one");
    controls.setText(IdVerifyPassword, "two");
    controls.setChecked(IdChangeUsername, true);
    controls.setText(IdNewUserName, "new");
    const auto before = rows();
    controller.performCommand(); // the passwords differ
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], (Message{"Error", "The two passwords do not match. Please re-enter the passwords.",
                                          MessageButtons::Ok, MessageIcon::Stop}));

    controls.setText(IdVerifyPassword, "one");
    prompter.answers = {MessageAnswer::No};
    controller.performCommand(); // the confirmation declined

    // An empty password is questioned before the confirmation.
    controls.setText(IdPassword, "");
    controls.setText(IdVerifyPassword, "");
    prompter.answers = {MessageAnswer::Yes, MessageAnswer::No};
    controller.performCommand();
    prompter.answers = {MessageAnswer::No};
    controller.performCommand();

    EXPECT_EQ(titles(), (std::vector<std::string>{"Error", "Perform Operation", "Security Warning", "Perform Operation",
                                                  "Security Warning"}));
    EXPECT_EQ(dialogs.batchRuns, 0);
    EXPECT_TRUE(dialogs.logged.empty());
    EXPECT_TRUE(net.network.changes.empty());
    EXPECT_EQ(net.identity.credentialsAsked, 0);
    EXPECT_EQ(controls.text(IdNewUserName), "new");
    EXPECT_TRUE(controls.isChecked(IdChangePassword));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(selectedRows(list), std::vector<int>{0});
}

TEST_F(PerformCommandTest, ACancelledBatchChangesNoRowAndIsStillLogged)
{
    controller.selectAll();
    controls.setChecked(IdDisableAccount, true);
    prompter.answers = {MessageAnswer::Yes};
    dialogs.cancelBatch = true;
    const auto before = rows();
    controller.performCommand();
    EXPECT_EQ(rows(), before);
    ASSERT_EQ(dialogs.logged.size(), 1u);
    EXPECT_TRUE(dialogs.logged[0].cancelled);
    EXPECT_TRUE(net.network.changes.empty());
}

} // namespace
} // namespace rm
