#include <gtest/gtest.h>

#include <vector>

#include "layout.hpp"

namespace kezurin {
namespace {

Placement Docked(Align align, int width, int height) {
    return {align, kAnchorLeft | kAnchorTop, {}, {}, {0, 0, width, height}};
}

Placement Anchored(unsigned anchors, Box design, Size designParent) {
    return {Align::None, anchors, design, designParent, design};
}

TEST(DockChildren, EdgesTakeTheirSpaceInTheOrderBottomTopLeftRightFill) {
    // Created in this order; the bottom and top ones still go first.
    const std::vector<Placement> children = {
        Docked(Align::Left, 100, 0), Docked(Align::Fill, 0, 0), Docked(Align::Top, 0, 30),
        Docked(Align::Right, 50, 0), Docked(Align::Bottom, 0, 16), Docked(Align::Left, 4, 0),
    };
    const std::vector<Box> expected = {
        {0, 30, 100, 354}, {104, 30, 346, 354}, {0, 0, 500, 30},
        {450, 30, 50, 354}, {0, 384, 500, 16}, {100, 30, 4, 354},
    };
    EXPECT_EQ(DockChildren({500, 400}, children), expected);
}

TEST(DockChildren, ADockedControlOfWidthZeroTakesNoSpace) {
    const std::vector<Placement> children = {Docked(Align::Left, 0, 0), Docked(Align::Left, 4, 0),
                                             Docked(Align::Fill, 0, 0)};
    const std::vector<Box> expected = {{0, 0, 0, 100}, {0, 0, 4, 100}, {4, 0, 196, 100}};
    EXPECT_EQ(DockChildren({200, 100}, children), expected);
}

struct AnchorCase {
    const char* name;
    unsigned anchors;
    int parentWidth;
    Box expected;
};

class AnchoredChild : public ::testing::TestWithParam<AnchorCase> {};

TEST_P(AnchoredChild, KeepsItsDistanceToTheAnchoredEdgesOrItsRelativeCentre) {
    const AnchorCase& c = GetParam();
    const std::vector<Placement> children = {
        Anchored(c.anchors, {384, 0, 250, 30}, {1008, 30})};
    EXPECT_EQ(DockChildren({c.parentWidth, 30}, children).front(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, AnchoredChild,
    ::testing::Values(
        AnchorCase{"LeftStays", kAnchorLeft | kAnchorTop, 1500, {384, 0, 250, 30}},
        AnchorCase{"RightFollows", kAnchorRight | kAnchorTop, 1500, {876, 0, 250, 30}},
        AnchorCase{"BothStretch", kAnchorLeft | kAnchorRight | kAnchorTop, 1500, {384, 0, 742, 30}},
        // 509 * 1500 / 1008 = 757.44 -> 757
        AnchorCase{"NeitherCentres", kAnchorTop, 1500, {632, 0, 250, 30}},
        // 509 * 1009 / 1008 = 509.505 -> 510
        AnchorCase{"NeitherRoundsToNearest", kAnchorTop, 1009, {385, 0, 250, 30}},
        AnchorCase{"NeitherAtDesignWidth", kAnchorTop, 1008, {384, 0, 250, 30}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(MulDivRounded, RoundsToNearestWithHalvesAwayFromZero) {
    EXPECT_EQ(MulDivRounded(509, 1008, 1008), 509);
    EXPECT_EQ(MulDivRounded(1, 3, 2), 2);
    EXPECT_EQ(MulDivRounded(-1, 3, 2), -2);
    EXPECT_EQ(MulDivRounded(5, 1, 3), 2);
    EXPECT_EQ(MulDivRounded(100000, 100000, 100000), 100000);
}

struct FirstBoxCase {
    const char* name;
    Size window;
    Box workArea;
    Box expected;
};

class FirstWindowPlace : public ::testing::TestWithParam<FirstBoxCase> {};

TEST_P(FirstWindowPlace, CentresOnTheDesktopWhenItFitsAndShrinksIntoTheWorkAreaWhenNot) {
    EXPECT_EQ(FirstWindowBox(GetParam().window, {1280, 1024}, GetParam().workArea), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FirstWindowPlace,
    ::testing::Values(
        FirstBoxCase{"At96Dpi", {1024, 600}, {0, 0, 1280, 984}, {128, 212, 1024, 600}},
        FirstBoxCase{"ExactFit", {1280, 984}, {0, 0, 1280, 984}, {0, 20, 1280, 984}},
        // 144 dpi: 1536 x 900 on a 1280 x 1024 screen with a taskbar below
        FirstBoxCase{"TooWide", {1536, 900}, {0, 0, 1280, 984}, {0, 42, 1280, 900}},
        FirstBoxCase{"TooHigh", {1024, 1200}, {0, 40, 1280, 984}, {128, 40, 1024, 984}},
        FirstBoxCase{"OnASecondMonitor", {2048, 1200}, {1280, 0, 1920, 1040}, {1280, 0, 1920, 1040}}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kezurin
