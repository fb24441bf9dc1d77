#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "form_layout.hpp"

namespace kezurin {
namespace {

constexpr ControlKind kPanel = ControlKind::Panel;
constexpr ControlKind kButton = ControlKind::Button;
constexpr ControlKind kMemo = ControlKind::Memo;

// A form with a pane, a divider, a second pane and a bar of buttons, the bar
// first in Tab order among the form's own controls but created last.
constexpr ControlRow kRows[] = {
    {.id = 0, .kind = kMemo, .align = Align::Left, .hint = "left", .tabOrder = 2},
    {.id = 1, .kind = ControlKind::Splitter, .align = Align::Left},
    {.id = 2, .kind = kMemo, .align = Align::Fill, .tabOrder = 3},
    {.id = 3, .kind = kPanel, .align = Align::Top, .hint = "bar", .tabOrder = 1},
    {.id = 4, .kind = kButton, .parent = 3, .caption = "&Go", .tabOrder = 2},
    {.id = 5, .kind = kButton, .parent = 3, .caption = "S&top", .hint = "stop", .tabOrder = 1},
    {.id = 6, .kind = ControlKind::Label, .parent = 3, .align = Align::Left, .caption = "&Label"},
    {.id = 7, .kind = kButton, .parent = 3, .caption = "end&"},
    {.id = 8, .kind = ControlKind::Splitter, .parent = 3, .align = Align::Right},
};

TEST(FormLayout, TabVisitsEachParentsStopsByPositionWithAContainersMembersInItsPlace) {
    EXPECT_EQ(TabOrder(kRows), (std::vector<ControlId>{5, 4, 0, 2}));
}

TEST(FormLayout, AccessKeysBelongToTheButtonThatMarksThemInEitherCase) {
    EXPECT_EQ(AccessKeyOwner(kRows, 'g'), 4);
    EXPECT_EQ(AccessKeyOwner(kRows, 'T'), 5);
    EXPECT_EQ(AccessKeyOwner(kRows, 'l'), std::nullopt) << "a label presses nothing";
    EXPECT_EQ(AccessKeyOwner(kRows, 'e'), std::nullopt) << "a trailing & marks nothing";
}

TEST(FormLayout, AHintIsTheControlsOwnElseItsNearestEnclosingControlsElseEmpty) {
    EXPECT_EQ(HintOf(kRows, 5), "stop");
    EXPECT_EQ(HintOf(kRows, 4), "bar");
    EXPECT_EQ(HintOf(kRows, 2), "");
    EXPECT_EQ(HintOf(kRows, std::nullopt), "");
}

TEST(FormLayout, ADividerResizesTheControlDockedBeforeItAtItsEdgeInItsParent) {
    EXPECT_EQ(PaneOfDivider(kRows, 1), 0);
    EXPECT_EQ(PaneOfDivider(kRows, 8), std::nullopt);
}

TEST(FormLayout, RowsMustStandAtTheirIdentitiesAfterTheirContainers) {
    EXPECT_TRUE(IsWellFormed(kRows));
    const ControlRow misplaced[] = {{.id = 1}};
    const ControlRow childFirst[] = {{.id = 0, .kind = kButton, .parent = 1}, {.id = 1}};
    const ControlRow inAButton[] = {{.id = 0, .kind = kButton}, {.id = 1, .kind = kButton, .parent = 0}};
    EXPECT_FALSE(IsWellFormed(misplaced));
    EXPECT_FALSE(IsWellFormed(childFirst));
    EXPECT_FALSE(IsWellFormed(inAButton));
}

struct CycleCase {
    const char* name;
    std::optional<std::size_t> from;
    bool backwards;
    std::vector<bool> takes;
    std::optional<std::size_t> next;
};

class NextInCycleOf : public ::testing::TestWithParam<CycleCase> {};

TEST_P(NextInCycleOf, StepsOverWhatCannotTakeTheFocusAndWrapsAround) {
    const CycleCase& c = GetParam();
    EXPECT_EQ(NextInCycle(c.takes.size(), c.from, c.backwards, [&](std::size_t at) { return c.takes[at]; }),
              c.next);
}

INSTANTIATE_TEST_SUITE_P(
    Cycles, NextInCycleOf,
    ::testing::Values(CycleCase{"FromOutsideToTheFirst", std::nullopt, false, {true, true, true}, 0},
                      CycleCase{"FromOutsideBackToTheLast", std::nullopt, true, {true, true, true}, 2},
                      CycleCase{"WrapsForwards", 2, false, {true, true, true}, 0},
                      CycleCase{"WrapsBackwards", 0, true, {true, true, true}, 2},
                      CycleCase{"SkipsOne", 0, false, {true, false, true}, 2},
                      CycleCase{"BackToItself", 1, false, {false, true, false}, 1},
                      CycleCase{"NoneTakes", 0, false, {false, false}, std::nullopt},
                      CycleCase{"Empty", std::nullopt, false, {}, std::nullopt}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kezurin
