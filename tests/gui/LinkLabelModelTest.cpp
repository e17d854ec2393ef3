#include "gui/kit/LinkLabelModel.h"

#include <gtest/gtest.h>

namespace rm {
namespace {

const Rgb Blue{0, 0, 255}, Red{255, 0, 0}, Teal{0, 128, 128}, Purple{128, 0, 128};

TEST(LinkLabelModel, ColoursByPrecedence)
{
    LinkLabelModel link;
    EXPECT_EQ(link.colour(), Blue);
    link.pointerEntered();
    EXPECT_EQ(link.colour(), Blue); // no hover colour by default
    link.setOptions(LinkDefaultOptions | LinkHoverColour);
    EXPECT_EQ(link.colour(), Red);
    link.focusGained();
    EXPECT_EQ(link.colour(), Red); // hovering comes first
    link.pointerLeft();
    EXPECT_EQ(link.colour(), Teal);
    EXPECT_EQ(link.opened(42), std::nullopt);
    EXPECT_EQ(link.colour(), Teal); // clicked outranks visited
    link.focusLost();
    EXPECT_EQ(link.colour(), Purple);
    link.setOptions(LinkDefaultOptions | LinkNoFocusColour);
    link.focusGained();
    EXPECT_EQ(link.colour(), Purple);
}

TEST(LinkLabelModel, OpensOnReleaseOverTheControlByDefault)
{
    LinkLabelModel link;
    EXPECT_FALSE(link.buttonReleased(true)); // no press yet
    EXPECT_FALSE(link.buttonPressed());
    EXPECT_TRUE(link.buttonReleased(true));
    EXPECT_FALSE(link.buttonReleased(false));

    LinkLabelModel onPress(LinkDefaultOptions | LinkOpenOnPress);
    EXPECT_TRUE(onPress.buttonPressed());
    EXPECT_FALSE(onPress.buttonReleased(true));
}

TEST(LinkLabelModel, FailedOpenLeavesTheLinkUnvisited)
{
    LinkLabelModel link;
    EXPECT_EQ(link.opened(31), std::string("Can't open link:\n\nThere is no application associated\n"
                                           "with the given filename extension."));
    EXPECT_FALSE(link.visited());
    EXPECT_EQ(link.opened(32), std::string("Can't open link:\n\nThe specified dynamic-link library was not found."));
    EXPECT_EQ(link.opened(33), std::nullopt);
    EXPECT_TRUE(link.visited());
}

TEST(LinkLabelModel, FailureTexts)
{
    EXPECT_EQ(linkOpenFailureText(26), "Can't open link:\n\nA sharing violation occurred. ");
    EXPECT_EQ(linkOpenFailureText(0), "Can't open link:\n\nThe operating system is out\nof memory or resources.");
    EXPECT_EQ(linkOpenFailureText(2), "Can't open link:\n\nThe specified file was not found.");
    EXPECT_EQ(linkOpenFailureText(4), "Can't open link:\n\nUnknown Error (4) occurred.");
    EXPECT_EQ(linkOpenFailureText(-7), "Can't open link:\n\nUnknown Error (-7) occurred.");
}

} // namespace
} // namespace rm
