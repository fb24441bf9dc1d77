#include <gtest/gtest.h>

#include <random>
#include <string>

#include "kezurin/code_page.hpp"
#include "line_search.hpp"

namespace kezurin {
namespace {

// The search with positions counted from 1 and 0 for "not found".
std::size_t FindPattern(std::string_view text, std::string_view pattern, const CodePage& codePage = kShiftJis) {
    if (text.empty()) return 0;
    const std::size_t at = detail::FindFrom(text, pattern, 0, codePage);
    return at == std::string_view::npos ? 0 : at + 1;
}

struct FindCase {
    std::string text;
    std::string pattern;
    std::size_t expected;
};

// Test lists show the text and the pattern, the same in every build.
void PrintTo(const FindCase& c, std::ostream* os) {
    *os << testing::PrintToString(c.text) << " " << testing::PrintToString(c.pattern);
}

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

// The search over a line's marks, against the search over its bytes: every
// pattern of the rules, from every offset, in every piece.
template <class Marks>
void ExpectMarksFindWhatTheBytesFind(unsigned seed) {
    static const std::vector<std::string> pieces = {"/", "*", "\"", " ", "a", "\x81", "\x95\x5C", "//", "/*", "*/"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 3000; ++round) {
        std::string line;
        while (line.size() < static_cast<std::size_t>(round % (Marks::kMaxLength + 2))) line += pieces[pick(random)];
        line.resize(std::min<std::size_t>(line.size(), Marks::kMaxLength));
        // Read in place, with bytes of the text beyond the line, or from a copy.
        const std::string text = line + "//*\"" + std::string(64, '/');
        const std::string_view inText(text.data(), line.size());
        for (const CodePage& page : {kShiftJis, CodePage{}}) {
            const detail::ByteSearch bytes{line, page};
            const auto marks = Marks::Of(inText, round % 2 ? line.size() : text.size(), page);
            for (const std::string_view pattern : {"//", "/*", "*/", "\"", "/"}) {
                for (std::size_t piece = 0; piece <= line.size(); ++piece) {
                    ASSERT_EQ(marks.FindBytes(pattern, piece), bytes.FindBytes(pattern, piece)) << line;
                    for (std::size_t from = piece; from <= line.size(); from += 3)
                        ASSERT_EQ(marks.Find(pattern, from, piece), bytes.Find(pattern, from, piece))
                            << testing::PrintToString(line) << " " << pattern << " " << from << " " << piece;
                }
            }
        }
    }
}

TEST(LineSearch, MarksFindWhatTheBytesFind) {
    ExpectMarksFindWhatTheBytesFind<detail::MarkedSearch>(1210);
}

TEST(CodePage, ShiftJisLeadBytesAreExactlyTheDoubleByteRanges) {
    for (int byte = 0; byte < 256; ++byte) {
        const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        EXPECT_EQ(kShiftJis.IsLeadByte(static_cast<char>(byte)), lead) << byte;
    }
}

// The window hands the engine UTF-8 with no lead bytes where it used to hand
// it Shift-JIS with code page 932. The passes cut only at "/", "*" and '"', so
// both give the same text if those bytes never stand inside a character of
// either encoding, and if FindPattern never rejects one on well-formed
// Shift-JIS. The fuzz target code_pages compares the two routes on whole texts.
constexpr std::string_view kMarks = "/*\"";

bool IsShiftJisSecondByte(unsigned byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

TEST(CodePageTables, NoMarkIsALeadOrSecondByteOfShiftJisOrPartOfAUtf8Sequence) {
    for (const char mark : kMarks) {
        const auto byte = static_cast<unsigned char>(mark);
        EXPECT_FALSE(kShiftJis.IsLeadByte(mark)) << mark;
        EXPECT_FALSE(IsShiftJisSecondByte(byte)) << mark;
        EXPECT_LT(byte, 0x80) << mark << ": every byte of a UTF-8 sequence is 0x80 or above";
    }
    for (unsigned byte = 0; byte < 0x100; ++byte) {
        EXPECT_FALSE(CodePage().IsLeadByte(static_cast<char>(byte))) << byte;
        if (kShiftJis.IsLeadByte(static_cast<char>(byte))) {
            EXPECT_GE(byte, 0x81u);
        }
    }
}

// Every double-byte character, behind texts that end in a whole character
// (one whose second byte has a lead byte's value among them), then a pattern.
TEST(CodePageTables, FindPatternFindsEveryMarkBehindEveryDoubleByteCharacter) {
    const std::string before[] = {"", "a", "\x81\x81", "\xB1", "\x88\x9F"};
    const std::string patterns[] = {"//", "/*", "*/", "\""};
    int rejected = 0;
    for (unsigned lead = 0; lead < 0x100; ++lead) {
        if (!kShiftJis.IsLeadByte(static_cast<char>(lead))) continue;
        for (unsigned second = 0; second < 0x100; ++second) {
            if (!IsShiftJisSecondByte(second)) continue;
            const std::string character{static_cast<char>(lead), static_cast<char>(second)};
            for (const std::string& text : before) {
                for (const std::string& pattern : patterns) {
                    const std::string line = text + character + pattern;
                    if (FindPattern(line, pattern, kShiftJis) != text.size() + 3) ++rejected;
                }
            }
        }
    }
    EXPECT_EQ(rejected, 0);
}

}  // namespace
}  // namespace kezurin
