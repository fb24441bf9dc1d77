#include <gtest/gtest.h>

#include <string>

#include "kezurin/code_page.hpp"

namespace kezurin {
namespace {

struct FindCase {
    std::string text;
    std::string pattern;
    std::size_t expected;
};

class FindPatternShiftJis : public testing::TestWithParam<FindCase> {};

TEST_P(FindPatternShiftJis, FindsTheFirstPlaceThatCounts) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindPattern(c.text, c.pattern), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindPatternShiftJis,
    testing::Values(
        FindCase{"", "//", 0}, FindCase{"abc", "", 0}, FindCase{"", "", 0},
        FindCase{"a//b//", "//", 2}, FindCase{"//", "//", 1}, FindCase{"/", "//", 0},
        FindCase{"aBc", "b", 0},  // case-sensitive
        // 0x95 0x5C is 表: its second byte is a backslash, not a character of its own.
        FindCase{"\x95\x5C\\", "\\", 3},
        // 0x83 0x7C is ポ: the second byte 0x7C is not the ASCII "|".
        FindCase{"\x83\x7C|", "|", 3},
        // After a rejected place the search goes on from the byte after its first byte.
        FindCase{"\x81//", "//", 0}, FindCase{"\x81///", "//", 3},
        // An even run of lead bytes ends on a whole character.
        FindCase{"\x81\x81//", "//", 3}, FindCase{"\x81\x81\x81//", "//", 0},
        FindCase{"\x81\x81\x81///", "//", 5},
        // Non-lead bytes interrupt the run.
        FindCase{"\x81" "a//", "//", 3}));

TEST(FindPattern, SingleByteCodePageRejectsNoPlace) {
    const CodePage singleByte;
    EXPECT_EQ(FindPattern("\x81//", "//", singleByte), 2u);
    EXPECT_EQ(FindPattern("\x95\x5C", "\\", singleByte), 2u);
}

TEST(FindPattern, CountsLeadBytesOnlyBackToTheStartOfThePieceSearched) {
    const std::string line = "\x81//";
    EXPECT_EQ(FindPattern(line, "//"), 0u);
    EXPECT_EQ(FindPattern(std::string_view(line).substr(1), "//"), 1u);
}

TEST(CodePage, ShiftJisLeadBytesAreExactlyTheDoubleByteRanges) {
    for (int byte = 0; byte < 256; ++byte) {
        const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        EXPECT_EQ(kShiftJis.IsLeadByte(static_cast<char>(byte)), lead) << byte;
    }
}

}  // namespace
}  // namespace kezurin
