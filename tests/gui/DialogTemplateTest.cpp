#include "gui/resources/DialogTemplate.h"
#include "gui/resources/StringTable.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace rm {
namespace {

TEST(DialogTemplate, MainWindowControlsAndStates)
{
    const DialogTemplate& t = dialogTemplate(132);
    EXPECT_EQ(t.title, "Korvane Rostermill");
    EXPECT_EQ(t.width, 352);
    EXPECT_EQ(t.height, 403);
    EXPECT_EQ(t.controls.size(), 32u);
    std::set<int> ids;
    for (const ControlTemplate& c : t.controls)
        EXPECT_TRUE(ids.insert(c.id).second) << "repeated id " << c.id;

    const ControlTemplate* list = t.control(1002);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->kind, ControlKind::ListView);
    EXPECT_EQ(list->x, 10);
    EXPECT_EQ(list->y, 87);
    EXPECT_EQ(list->width, 330);
    EXPECT_EQ(list->height, 153);
    EXPECT_TRUE(list->style & Disabled);
    EXPECT_TRUE(t.control(1055)->style & Hidden);
    EXPECT_FALSE(t.control(1016)->style & Hidden);
    for (int shownDisabled : {1125, 1126})
        EXPECT_EQ(t.control(shownDisabled)->style & (Hidden | Disabled), Disabled) << shownDisabled;
    EXPECT_TRUE(t.control(1)->style & Disabled);
    EXPECT_EQ(t.control(1)->kind, ControlKind::DefPushButton);
    EXPECT_EQ(t.control(1015)->caption, "Ctrl+click, shift+click, or drag for multiple selections");
    EXPECT_EQ(t.control(1125)->caption, "Generate a unique password for each machine");
}

TEST(DialogTemplate, AboutBoxAndStrings)
{
    const DialogTemplate& t = dialogTemplate(100);
    EXPECT_EQ(t.width, 298);
    EXPECT_EQ(t.height, 231);
    EXPECT_EQ(t.style & SystemMenu, 0u);
    EXPECT_NE(t.control(1037), nullptr);
    EXPECT_NE(t.control(1038), nullptr);
    EXPECT_EQ(t.control(1)->x, 240);
    EXPECT_THROW(dialogTemplate(4242), std::out_of_range);
    EXPECT_EQ(loadString(101), "&About Korvane Rostermill...");
    EXPECT_EQ(loadString(57344), "Rostermill");
    EXPECT_EQ(loadString(4242), "");
}

} // namespace
} // namespace rm
