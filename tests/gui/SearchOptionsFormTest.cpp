#include "gui/dialogs/SearchOptionsForm.h"
#include "support/Doubles.h"
#include "support/MemoryDialogControls.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

class SearchOptionsFormTest : public ::testing::Test {
protected:
    MemoryDialogControls c{{{IdAllComputers, IdServersOnly}, {IdBrowseListMethod, IdDirectoryMethod}}};
    ScriptedPrompter prompter;
    SearchOptions stored;

    std::unique_ptr<SearchOptionsForm> open()
    {
        auto form = std::make_unique<SearchOptionsForm>(c, prompter, stored);
        form->initialise();
        return form;
    }
    // A click: the button changes, then the rules are applied again.
    void click(SearchOptionsForm& form, int id)
    {
        c.setChecked(id, id == IdRestrictToUnit ? !c.isChecked(id) : true);
        form.applyEnableRules();
    }
    bool enabled(int id) const { return c.isEnabled(id); }
};

TEST_F(SearchOptionsFormTest, OpensWithTheStoredValues)
{
    stored = {"lab.example", false, true, DiscoveryMethod::Directory, true, true, "Sales/East"};
    auto form = open();
    EXPECT_EQ(c.text(IdScanDomain), "lab.example");
    EXPECT_EQ(c.text(IdOrgUnit), "Sales/East");
    EXPECT_TRUE(c.controls[IdScanDomain].visible);
    EXPECT_FALSE(c.controls[IdDomainChoice].visible);
    EXPECT_TRUE(c.isChecked(IdRestrictToUnit));
    EXPECT_TRUE(c.isChecked(IdScanHidden));
    EXPECT_FALSE(c.isChecked(IdPingScan));
    EXPECT_TRUE(c.isChecked(IdDirectoryMethod));
    EXPECT_FALSE(c.isChecked(IdBrowseListMethod));
    EXPECT_TRUE(c.isChecked(IdServersOnly));
    EXPECT_FALSE(c.isChecked(IdAllComputers));
    EXPECT_TRUE(enabled(IdRestrictToUnit));
    EXPECT_TRUE(enabled(IdOrgUnit));
    EXPECT_FALSE(enabled(IdScanHidden));
    EXPECT_TRUE(enabled(IdScanDomain));
    EXPECT_TRUE(enabled(IdPingScan));
}

TEST_F(SearchOptionsFormTest, EnableRulesFollowEveryClick)
{
    stored.domain = "lab.example"; // browse list, all computers
    auto form = open();
    EXPECT_FALSE(enabled(IdRestrictToUnit));
    EXPECT_FALSE(enabled(IdOrgUnit));
    EXPECT_TRUE(enabled(IdScanHidden));

    click(*form, IdDirectoryMethod);
    EXPECT_TRUE(enabled(IdRestrictToUnit));
    EXPECT_FALSE(enabled(IdOrgUnit));
    EXPECT_TRUE(enabled(IdScanHidden));

    click(*form, IdRestrictToUnit);
    EXPECT_TRUE(enabled(IdOrgUnit));
    EXPECT_FALSE(enabled(IdScanHidden));

    click(*form, IdBrowseListMethod); // the unit's controls go grey, keeping their contents
    EXPECT_FALSE(enabled(IdRestrictToUnit));
    EXPECT_FALSE(enabled(IdOrgUnit));
    EXPECT_TRUE(c.isChecked(IdRestrictToUnit));
    EXPECT_TRUE(enabled(IdScanHidden));

    click(*form, IdServersOnly);
    EXPECT_FALSE(enabled(IdScanHidden));
    EXPECT_TRUE(c.isChecked(IdScanHidden)); // keeps its mark
    click(*form, IdAllComputers);
    EXPECT_TRUE(enabled(IdScanHidden));
}

TEST_F(SearchOptionsFormTest, ADisabledCheckBoxKeepsItsMarkAndItsValueIsStored)
{
    stored.domain = "lab.example";
    stored.scanHidden = true;
    auto form = open();
    click(*form, IdServersOnly);
    ASSERT_FALSE(enabled(IdScanHidden));
    ASSERT_TRUE(form->accept());
    EXPECT_TRUE(form->options().scanHidden);
    EXPECT_TRUE(form->options().serversOnly);
}

TEST_F(SearchOptionsFormTest, RefusalsInTheirOrder)
{
    stored = {"", true, true, DiscoveryMethod::Directory, true, false, ""};
    auto form = open();
    EXPECT_FALSE(form->accept()); // both empty: the domain first
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0], (Message{"Error", "You must enter a domain name.", MessageButtons::Ok,
                                          MessageIcon::Exclamation}));
    EXPECT_EQ(c.focus, IdScanDomain);

    c.setText(IdScanDomain, "lab.example");
    EXPECT_FALSE(form->accept());
    ASSERT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(prompter.shown[1], (Message{"Error", "You must enter an organizational unit if you wish to restrict the scan.",
                                          MessageButtons::Ok, MessageIcon::Exclamation}));
    EXPECT_EQ(c.focus, IdOrgUnit);
    EXPECT_EQ(form->options(), stored); // nothing taken over while refused

    // With the browse list an empty unit is fine, and stored as it is.
    click(*form, IdBrowseListMethod);
    ASSERT_TRUE(form->accept());
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_EQ(form->options(),
              (SearchOptions{"lab.example", true, true, DiscoveryMethod::BrowseList, true, false, ""}));
}

TEST_F(SearchOptionsFormTest, TextsAreTakenAsTyped)
{
    stored.domain = "x";
    auto form = open();
    click(*form, IdDirectoryMethod);
    click(*form, IdRestrictToUnit);
    c.setText(IdScanDomain, "  ");
    c.setText(IdOrgUnit, " Sales/East ");
    ASSERT_TRUE(form->accept());
    EXPECT_EQ(form->options().domain, "  ");
    EXPECT_EQ(form->options().orgUnit, " Sales/East ");
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(SearchOptionsFormTest, AnUnknownMethodSelectsNeitherAndOkStoresTheDirectory)
{
    stored = {"lab.example", false, false, static_cast<DiscoveryMethod>(7), false, false, "Unit"};
    auto form = open();
    EXPECT_FALSE(c.isChecked(IdBrowseListMethod));
    EXPECT_FALSE(c.isChecked(IdDirectoryMethod));
    EXPECT_FALSE(enabled(IdRestrictToUnit));
    ASSERT_TRUE(form->accept());
    EXPECT_EQ(form->options(),
              (SearchOptions{"lab.example", false, false, DiscoveryMethod::Directory, false, false, "Unit"}));
}

} // namespace
} // namespace rm
