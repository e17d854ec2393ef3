#include "core/batch/ActionValidation.h"
#include "support/Doubles.h"

#include <gtest/gtest.h>

#include <thread>

namespace rm {
namespace {

const Message SelectError{"Error", "You must select one or more computers.", MessageButtons::Ok, MessageIcon::Stop};

class ActionValidationTest : public ::testing::Test {
protected:
    ScriptedPrompter prompter;
    ActionRequest request;
    std::vector<SelectedRow> rows{
        {0, "PC1", "alice", "Yes", "Administrators"},
        {2, "PC2", "Administrator", "No", ""},
        {5, "PC3", "bob", "Yes", "Users, Staff"},
    };

    std::optional<std::vector<AccountOperation>> run() { return validateAndConfirm(request, rows, prompter); }
    // The one box shown, an error with this text.
    void expectOnlyError(const std::string& text)
    {
        ASSERT_EQ(prompter.shown.size(), 1u);
        EXPECT_EQ(prompter.shown[0], (Message{"Error", text, MessageButtons::Ok, MessageIcon::Stop}));
    }
};

TEST_F(ActionValidationTest, TheSelectionIsCheckedFirst)
{
    rows.clear();
    EXPECT_FALSE(run());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], SelectError);

    prompter = {};
    request.renameRequested = true; // an empty new name, and passwords that differ
    request.passwordRequested = true;
    request.password = "a";
    EXPECT_FALSE(run());
    EXPECT_EQ(prompter.shown, std::vector<Message>{SelectError});
}

TEST_F(ActionValidationTest, NoActionIsRefused)
{
    request.password = "typed but not ticked";
    EXPECT_FALSE(run());
    expectOnlyError("You must specify one or more actions to perform.");
}

TEST_F(ActionValidationTest, AnEnabledStateChoiceAloneIsAnAction)
{
    request.enabledChoice = EnabledChoice::Enable;
    prompter.answers = {MessageAnswer::Yes};
    auto ops = run();
    ASSERT_TRUE(ops);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0],
              (Message{"Perform Operation",
                       "The following actions will be performed on each selected user:\n\n\xC2\xB7 Enable the "
                       "account\n\nDo you wish to continue?",
                       MessageButtons::YesNo, MessageIcon::Question}));
    ASSERT_EQ(ops->size(), 3u);
    for (const AccountOperation& op : *ops) {
        EXPECT_TRUE(op.enableRequested);
        EXPECT_TRUE(op.enable);
        EXPECT_FALSE(op.renameRequested);
        EXPECT_FALSE(op.passwordRequested);
    }
}

TEST_F(ActionValidationTest, DisableAndKeepSetTheRequestAndTheDirection)
{
    request.enabledChoice = EnabledChoice::Disable;
    prompter.answers = {MessageAnswer::Yes};
    auto ops = run();
    ASSERT_TRUE(ops);
    EXPECT_TRUE((*ops)[0].enableRequested);
    EXPECT_FALSE((*ops)[0].enable);
    EXPECT_NE(prompter.shown[0].text.find("\xC2\xB7 Disable the account\n"), std::string::npos);

    request = {};
    request.passwordRequested = true;
    request.password = request.verification = "x";
    prompter = {};
    prompter.answers = {MessageAnswer::Yes};
    ops = run();
    ASSERT_TRUE(ops);
    EXPECT_FALSE((*ops)[0].enableRequested);
    EXPECT_FALSE((*ops)[0].enable);
}

TEST_F(ActionValidationTest, AnEmptyNewNameIsRefusedBeforeThePasswords)
{
    request.renameRequested = true;
    request.passwordRequested = true;
    request.password = "one";
    request.verification = "two";
    EXPECT_FALSE(run());
    expectOnlyError("You must specify a new username when changing the username.");
}

TEST_F(ActionValidationTest, TwoUsersOfOneComputerInGroupModeNameBothInRowOrder)
{
    rows = {{0, "PC1", "alice", "Yes", ""}, {1, "PC2", "carol", "Yes", ""}, {3, "PC1", "bob", "Yes", ""}};
    request.groupMode = true;
    request.renameRequested = true;
    request.newUserName = "shared";
    request.passwordRequested = true;
    request.password = "differs"; // the rename test comes first
    EXPECT_FALSE(run());
    expectOnlyError("Multiple users (\"alice\" and \"bob\") are selected on the same machine (\"PC1\").  You cannot "
                    "rename multiple users on the same machine to the same name.");
}

TEST_F(ActionValidationTest, TheSameMachineTestComparesExactly)
{
    request.groupMode = true;
    request.renameRequested = true;
    request.newUserName = "shared";
    prompter.answers = {MessageAnswer::Yes};
    // The same user twice, and a computer name in another case: accepted.
    rows = {{0, "PC1", "alice", "Yes", ""}, {1, "PC1", "alice", "Yes", ""}, {2, "pc1", "bob", "Yes", ""}};
    auto ops = run();
    ASSERT_TRUE(ops);
    EXPECT_EQ(ops->size(), 3u);

    // User names differing in case are different users.
    prompter = {};
    rows = {{0, "PC1", "alice", "Yes", ""}, {1, "PC1", "Alice", "Yes", ""}};
    EXPECT_FALSE(run());
    expectOnlyError("Multiple users (\"alice\" and \"Alice\") are selected on the same machine (\"PC1\").  You "
                    "cannot rename multiple users on the same machine to the same name.");
}

TEST_F(ActionValidationTest, TheSameMachineTestRunsOnlyForARenameInGroupMode)
{
    rows = {{0, "PC1", "alice", "Yes", ""}, {1, "PC1", "bob", "Yes", ""}};
    request.renameRequested = true;
    request.newUserName = "shared";
    prompter.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(run()); // user mode

    request.groupMode = true;
    request.renameRequested = false;
    request.enabledChoice = EnabledChoice::Disable;
    prompter = {};
    prompter.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(run());
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(ActionValidationTest, PasswordsMustMatchExactly)
{
    request.passwordRequested = true;
    request.password = "Secret";
    request.verification = "secret";
    EXPECT_FALSE(run());
    expectOnlyError("The two passwords do not match. Please re-enter the passwords.");

    prompter = {};
    request.verification = "Secret ";
    EXPECT_FALSE(run());
    expectOnlyError("The two passwords do not match. Please re-enter the passwords.");
}

TEST_F(ActionValidationTest, AnEmptyPasswordIsAskedAboutFirst)
{
    const Message warning{"Security Warning",
                          "You have specified an empty password.  This will remove the password from the selected "
                          "accounts, which is potentially very dangerous.  Are you sure you want to do this?",
                          MessageButtons::YesNo, MessageIcon::Exclamation};
    request.passwordRequested = true;
    prompter.answers = {MessageAnswer::No};
    EXPECT_FALSE(run());
    EXPECT_EQ(prompter.shown, std::vector<Message>{warning});

    prompter = {};
    prompter.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    auto ops = run();
    ASSERT_TRUE(ops);
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[0], warning);
    EXPECT_EQ(prompter.shown[1].title, "Perform Operation");
    EXPECT_TRUE((*ops)[0].passwordRequested);
    EXPECT_EQ((*ops)[0].password, "");
}

TEST_F(ActionValidationTest, APasswordTypedButNotTickedIsNeitherTestedNorChanged)
{
    request.password = "one";
    request.verification = "two";
    request.enabledChoice = EnabledChoice::Enable;
    prompter.answers = {MessageAnswer::Yes};
    auto ops = run();
    ASSERT_TRUE(ops);
    EXPECT_FALSE((*ops)[0].passwordRequested);
    EXPECT_EQ(prompter.shown[0].text.find("password"), std::string::npos);
}

TEST_F(ActionValidationTest, TheConfirmationListsEveryActionInItsOrder)
{
    request.renameRequested = true;
    request.newUserName = "new \"name\"";
    request.passwordRequested = true;
    request.password = request.verification = "pw";
    request.enabledChoice = EnabledChoice::Disable;
    EXPECT_EQ(confirmationText(request),
              "The following actions will be performed on each selected user:\n\n"
              "\xC2\xB7 Rename the user to \"new \"name\"\"\n"
              "\xC2\xB7 Change the associated password\n"
              "\xC2\xB7 Disable the account\n"
              "\nDo you wish to continue?");
    // Declining stops with nothing made; only "Yes" goes on.
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Cancel, MessageAnswer::Ok}) {
        prompter = {};
        prompter.answers = {answer};
        EXPECT_FALSE(run());
        EXPECT_EQ(prompter.shown.size(), 1u);
    }
}

// Answers Yes once the clock has moved to a new second, so a record stamped
// before the answer shows an earlier time.
class LateConfirmingPrompter : public ScriptedPrompter {
public:
    MessageAnswer show(const Message& message) override
    {
        ScriptedPrompter::show(message);
        const std::time_t asked = std::time(nullptr);
        while (std::time(nullptr) == asked)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        answeredAt = std::time(nullptr);
        return MessageAnswer::Yes;
    }
    std::time_t answeredAt = 0;
};

TEST_F(ActionValidationTest, OneRecordPerSelectedRowInListOrderStampedAfterTheConfirmation)
{
    request.renameRequested = true;
    request.newUserName = "renamed";
    request.passwordRequested = true;
    request.password = request.verification = "P4ss";
    request.enabledChoice = EnabledChoice::Enable;
    LateConfirmingPrompter late;
    auto ops = validateAndConfirm(request, rows, late);
    const std::time_t after = std::time(nullptr);
    ASSERT_TRUE(ops);
    ASSERT_EQ(ops->size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const AccountOperation& op = (*ops)[i];
        EXPECT_GE(op.time, late.answeredAt);
        EXPECT_LE(op.time, after);
        EXPECT_EQ(op.rowIndex, rows[i].rowIndex);
        EXPECT_EQ(op.computerName, rows[i].computerName);
        EXPECT_EQ(op.userName, rows[i].userName);
        EXPECT_EQ(op.enabledText, rows[i].enabledText);
        EXPECT_EQ(op.groupsText, rows[i].groupsText);
        EXPECT_EQ(op.newUserName, "renamed");
        EXPECT_EQ(op.password, "P4ss");
        EXPECT_TRUE(op.renameRequested && op.passwordRequested && op.enableRequested && op.enable);
        EXPECT_FALSE(op.renameSucceeded || op.passwordSucceeded || op.enableSucceeded || op.processed);
        EXPECT_TRUE(op.renameError.empty() && op.passwordError.empty() && op.enableError.empty());
    }
}

} // namespace
} // namespace rm
