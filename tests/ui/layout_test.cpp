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

}  // namespace
}  // namespace kezurin
