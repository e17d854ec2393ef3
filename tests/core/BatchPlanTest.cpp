#include "core/batch/BatchPlan.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

const Message Confirmation{"Perform Operation", "", MessageButtons::YesNo, MessageIcon::Question};
const Message EmptyPasswordWarning{
    "Security Warning",
    "You have specified an empty password.  This will remove the password from the selected accounts, which is "
    "potentially very dangerous.  Are you sure you want to do this?",
    MessageButtons::YesNo, MessageIcon::Exclamation};

Secret secret(const char* text)
{
    return Secret(std::string(text));
}

class BatchPlanTest : public ::testing::Test {
protected:
    BatchRequest request;

    void SetUp() override { reset(); }
    // A fresh request over three selected rows; a planned one has been moved from.
    void reset()
    {
        request = {};
        request.targets = {{"PC1", "alice", true, {"Administrators"}},
                           {"PC2", "Administrator", false, {}},
                           {"PC3", "bob", true, {"Users", "Staff"}}};
    }
    // A fresh request over these rows.
    void select(std::initializer_list<std::pair<const char*, const char*>> rows)
    {
        request = {};
        for (const auto& [computer, user] : rows)
            request.targets.push_back({computer, user, true, {}});
    }
    // The text of the error box that refuses the request ("" when planned).
    std::string refusal()
    {
        auto planned = plan(std::move(request));
        const Refusal* r = std::get_if<Refusal>(&planned);
        if (!r)
            return "";
        EXPECT_EQ(r->message, (Message{"Error", r->message.text, MessageButtons::Ok, MessageIcon::Stop}));
        return r->message.text;
    }
    // The plan of an accepted request.
    BatchPlan accepted()
    {
        auto planned = plan(std::move(request));
        if (const Refusal* r = std::get_if<Refusal>(&planned))
            ADD_FAILURE() << "refused: " << r->message.text;
        return std::holds_alternative<BatchPlan>(planned) ? std::get<BatchPlan>(std::move(planned))
                                                          : BatchPlan({}, {});
    }
    static std::vector<Question::Kind> kinds(const BatchPlan& p)
    {
        std::vector<Question::Kind> k;
        for (const Question& q : p.questions())
            k.push_back(q.kind);
        return k;
    }
    static Message last(const BatchPlan& p) { return p.questions().empty() ? Message{} : p.questions().back().message; }
};

TEST_F(BatchPlanTest, TheSelectionIsCheckedFirst)
{
    request.targets.clear();
    EXPECT_EQ(refusal(), "You must select one or more computers.");
    select({});
    request.rename = true; // an empty new name, and passwords that differ
    request.changePassword = true;
    request.password = secret("a");
    EXPECT_EQ(refusal(), "You must select one or more computers.");
}

TEST_F(BatchPlanTest, NoActionIsRefused)
{
    request.password = secret("typed but not ticked");
    EXPECT_EQ(refusal(), "You must specify one or more actions to perform.");
}

TEST_F(BatchPlanTest, AnEnabledStateChoiceAloneIsAnActionConfirmedOnce)
{
    request.enabledChoice = EnabledChoice::Enable;
    const BatchPlan p = accepted();
    EXPECT_EQ(kinds(p), std::vector<Question::Kind>{Question::Kind::Confirmation});
    Message expected = Confirmation;
    expected.text = "The following actions will be performed on each selected user:\n\n\xC2\xB7 Enable the "
                    "account\n\nDo you wish to continue?";
    EXPECT_EQ(last(p), expected);
    // The selection in list order, each as the list showed it.
    EXPECT_EQ(p.request().targets, (std::vector<BatchTarget>{{"PC1", "alice", true, {"Administrators"}},
                                                             {"PC2", "Administrator", false, {}},
                                                             {"PC3", "bob", true, {"Users", "Staff"}}}));
    EXPECT_EQ(p.request().enabledChoice, EnabledChoice::Enable);

    reset();
    request.enabledChoice = EnabledChoice::Disable;
    EXPECT_NE(last(accepted()).text.find("\xC2\xB7 Disable the account\n"), std::string::npos);
}

TEST_F(BatchPlanTest, AnEmptyNewNameIsRefusedBeforeThePasswords)
{
    request.rename = true;
    request.changePassword = true;
    request.password = secret("one");
    request.verification = secret("two");
    EXPECT_EQ(refusal(), "You must specify a new username when changing the username.");
}

TEST_F(BatchPlanTest, TwoUsersOfOneComputerInGroupModeNameBothInRowOrder)
{
    select({{"PC1", "alice"}, {"PC2", "carol"}, {"PC1", "bob"}});
    request.groupMode = true;
    request.rename = true;
    request.newName = "shared";
    request.changePassword = true;
    request.password = secret("differs"); // the rename test comes first
    EXPECT_EQ(refusal(), "Multiple users (\"alice\" and \"bob\") are selected on the same machine (\"PC1\").  You "
                         "cannot rename multiple users on the same machine to the same name.");
}

TEST_F(BatchPlanTest, TheSameMachineTestComparesExactlyAndRunsOnlyForARenameInGroupMode)
{
    auto renameInGroupMode = [&](std::initializer_list<std::pair<const char*, const char*>> rows) {
        select(rows);
        request.groupMode = true;
        request.rename = true;
        request.newName = "shared";
    };
    // The same user twice, and a computer name in another case: accepted.
    renameInGroupMode({{"PC1", "alice"}, {"PC1", "alice"}, {"pc1", "bob"}});
    EXPECT_EQ(accepted().request().targets.size(), 3u);
    // User names differing in case are different users.
    renameInGroupMode({{"PC1", "alice"}, {"PC1", "Alice"}});
    EXPECT_EQ(refusal(), "Multiple users (\"alice\" and \"Alice\") are selected on the same machine (\"PC1\").  You "
                         "cannot rename multiple users on the same machine to the same name.");

    // User mode, or no rename: two users of one computer are fine.
    select({{"PC1", "alice"}, {"PC1", "bob"}});
    request.rename = true;
    request.newName = "shared";
    EXPECT_EQ(kinds(accepted()), std::vector<Question::Kind>{Question::Kind::Confirmation});
    select({{"PC1", "alice"}, {"PC1", "bob"}});
    request.groupMode = true;
    request.enabledChoice = EnabledChoice::Disable;
    EXPECT_EQ(kinds(accepted()), std::vector<Question::Kind>{Question::Kind::Confirmation});
}

TEST_F(BatchPlanTest, PasswordsMustMatchExactly)
{
    for (const char* verification : {"secret", "Secret "}) {
        request.changePassword = true;
        request.password = secret("Secret");
        request.verification = secret(verification);
        EXPECT_EQ(refusal(), "The two passwords do not match. Please re-enter the passwords.") << verification;
        reset();
    }
}

TEST_F(BatchPlanTest, AnEmptyPasswordIsAskedAboutBeforeTheConfirmation)
{
    request.changePassword = true;
    const BatchPlan p = accepted();
    ASSERT_EQ(kinds(p), (std::vector<Question::Kind>{Question::Kind::EmptyPassword, Question::Kind::Confirmation}));
    EXPECT_EQ(p.questions()[0].message, EmptyPasswordWarning);
    EXPECT_EQ(p.questions()[1].message.title, "Perform Operation");
    EXPECT_TRUE(p.request().changePassword);
    EXPECT_TRUE(p.request().password.empty());
}

TEST_F(BatchPlanTest, APasswordTypedButNotTickedIsNeitherTestedNorChanged)
{
    request.password = secret("one");
    request.verification = secret("two");
    request.enabledChoice = EnabledChoice::Enable;
    const BatchPlan p = accepted();
    EXPECT_FALSE(p.request().changePassword);
    EXPECT_EQ(last(p).text.find("password"), std::string::npos);
}

TEST_F(BatchPlanTest, TheConfirmationListsEveryActionInItsOrder)
{
    request.rename = true;
    request.newName = "new \"name\"";
    request.changePassword = true;
    request.password = secret("pw");
    request.verification = secret("pw");
    request.enabledChoice = EnabledChoice::Disable;
    const std::string text = "The following actions will be performed on each selected user:\n\n"
                             "\xC2\xB7 Rename the user to \"new \"name\"\"\n"
                             "\xC2\xB7 Change the associated password\n"
                             "\xC2\xB7 Disable the account\n"
                             "\nDo you wish to continue?";
    EXPECT_EQ(confirmationText(request), text);
    const BatchPlan p = accepted();
    EXPECT_EQ(last(p).text, text);
    EXPECT_EQ(p.request().password.reveal(), "pw");
    EXPECT_EQ(p.request().newName, "new \"name\"");
}

} // namespace
} // namespace rm
