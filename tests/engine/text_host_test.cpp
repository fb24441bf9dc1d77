#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "kezurin/text_host.hpp"

namespace kezurin {
namespace {

// Its lines point into its own memory: a copied or moved host would dangle.
static_assert(!std::is_copy_constructible_v<TextHost> && !std::is_move_constructible_v<TextHost> &&
              !std::is_copy_assignable_v<TextHost> && !std::is_move_assignable_v<TextHost>);

struct CountCase {
    std::string text;
    std::size_t crLfLines;
    std::size_t anyBreakLines;
};

class TextHostLineCount : public testing::TestWithParam<CountCase> {};

TEST_P(TextHostLineCount, LeavesOutOnlyATrailingEmptyLine) {
    TextHost crLf("");
    crLf.SetOutputText(GetParam().text);
    EXPECT_EQ(crLf.GetLineCount(), GetParam().crLfLines);
    EXPECT_EQ(CountLines(GetParam().text, LineBreaks::CrLf), GetParam().crLfLines);
    EXPECT_EQ(crLf.OutputText(), GetParam().text);

    TextHost anyBreak("", LineBreaks::CrLfOrLf);
    anyBreak.SetOutputText(GetParam().text);
    EXPECT_EQ(anyBreak.GetLineCount(), GetParam().anyBreakLines);
    EXPECT_EQ(CountLines(GetParam().text, LineBreaks::CrLfOrLf), GetParam().anyBreakLines);
    EXPECT_EQ(anyBreak.OutputText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextHostLineCount,
                         testing::Values(CountCase{"", 0, 0}, CountCase{"a", 1, 1},
                                         CountCase{"a\r\n", 1, 1}, CountCase{"a\r\n\r\n", 2, 2},
                                         CountCase{"a\r\nb", 2, 2}, CountCase{"\r\n", 1, 1},
                                         CountCase{"a\nb\n", 1, 2}, CountCase{"a\rb", 1, 1},
                                         CountCase{"\n\r\n", 1, 2}, CountCase{"a\n", 1, 1}));

TEST(TextHost, PutLineReplacesOnlyThatLinesText) {
    TextHost host("");
    host.SetOutputText("one\r\ntwo\nx\r\nthree\r\n");
    host.PutLine(1, "a much longer second line");
    host.PutLine(0, "");
    host.PutLine(2, "3");
    EXPECT_EQ(host.OutputText(), "\r\na much longer second line\r\n3\r\n");
    EXPECT_EQ(host.GetLine(1), "a much longer second line");
    EXPECT_EQ(host.LineEndOffset(2), 2 + 25 + 2 + 1u);
}

TEST(TextHost, PutLineBeyondTheCountedLinesDoesNothing) {
    TextHost host("");
    host.SetOutputText("a\r\n");
    host.PutLine(1, "x");
    host.PutLine(7, "x");
    EXPECT_EQ(host.OutputText(), "a\r\n");
}

TEST(TextHost, EmptyingTheUnbrokenLastLineDropsItFromTheCount) {
    TextHost host("");
    host.SetOutputText("a\r\nb");
    host.PutLine(1, "");
    EXPECT_EQ(host.GetLineCount(), 1u);
    EXPECT_EQ(host.OutputText(), "a\r\n");
}

TEST(TextHost, AcceptsViewsOfItsOwnLines) {
    TextHost host("");
    host.SetOutputText("first\r\nsecond");
    host.PutLine(1, host.GetLine(0));
    host.PutLine(0, host.GetLine(0).substr(1));
    EXPECT_EQ(host.OutputText(), "irst\r\nfirst");
    host.SetOutputText(host.GetLine(1));
    EXPECT_EQ(host.OutputText(), "first");
}

TEST(TextHost, LeavesItsInputAlone) {
    TextHost host("a // b\r\nc");
    RunRemoval(host);
    EXPECT_EQ(host.GetInputText(), "a // b\r\nc");
    EXPECT_EQ(host.OutputText(), "a \r\nc");
}

}  // namespace
}  // namespace kezurin
