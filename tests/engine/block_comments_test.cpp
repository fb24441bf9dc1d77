#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "block_comments.hpp"

namespace kezurin {
namespace {

struct BlockCase {
    bool openBefore;
    std::string line;
    std::string expected;
    bool openAfter;
};

void PrintTo(const BlockCase& c, std::ostream* os) {
    *os << (c.openBefore ? "open " : "closed ") << '"' << c.line << '"';
}

// The line's result as a string of its own.
std::string Removed(std::string_view line, bool& InBlockComment, const CodePage& codePage = kShiftJis) {
    std::string scratch;
    const LinePieces pieces = RemoveBlockComments(line, InBlockComment, scratch, codePage);
    return std::string(pieces.front).append(pieces.back);
}

class RemoveBlockCommentsCases : public testing::TestWithParam<BlockCase> {};

TEST_P(RemoveBlockCommentsCases, RemovesTheCommentsOfOneLine) {
    const BlockCase& c = GetParam();
    bool InBlockComment = c.openBefore;
    EXPECT_EQ(Removed(c.line, InBlockComment), c.expected);
    EXPECT_EQ(InBlockComment, c.openAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Closed, RemoveBlockCommentsCases,
    testing::Values(
        BlockCase{false, "a /* b */ c", "a  c", false}, BlockCase{false, "x/*c*/y", "xy", false},
        BlockCase{false, "/**/", "", false}, BlockCase{false, "a /*/ b", "a  b", false},
        BlockCase{false, "/*/ x */ y", " x */ y", false}, BlockCase{false, "/*/*/", "*/", false},
        BlockCase{false, "a /* b */ c /* d */ e", "a  c  e", false},
        BlockCase{false, "a /* b */ c /* d", "a  c  ", true},
        BlockCase{false, "/* a /* b */ c */", " c */", false},
        BlockCase{false, "a */ b", "a */ b", false}, BlockCase{false, "/*", " ", true},
        BlockCase{false, R"(s = "/*"; x = 1;)", R"(s = " )", true},
        BlockCase{false, R"(s = "//*x*/*";)", R"(s = " )", true},
        BlockCase{false, "表 /* 日本 */ 語", "表  語", false}, BlockCase{false, "", "", false},
        // Cuts that make a new opener again and again, and one that makes a closer.
        BlockCase{false, "//**//**/*", " ", true}, BlockCase{false, "a/**/*/", "a*/", false},
        // A lead byte before the slash hides the opener; two do not.
        BlockCase{false, "\x81/* x */", "\x81/* x */", false},
        BlockCase{false, "\x81\x81/* x */", "\x81\x81", false},
        // The lead byte before the kept front's last slash makes that slash a
        // second byte, so the cut joins no opener.
        BlockCase{false, "\x81//**/*x*/", "\x81/*x*/", false},
        // Lead bytes before the closer, and at the cut's join.
        BlockCase{false, "/* \x81*/ x */ y", " y", false},
        BlockCase{false, "\x81 /**/\x81/*x*/", "\x81 \x81/*x*/", false},
        BlockCase{false, "a /* \x81*/", "a  ", true},
        // Comments that end on the last bytes of a 64-byte line.
        BlockCase{false, std::string(58, 'a').append("/*b*/"), std::string(58, 'a'), false},
        BlockCase{false, std::string(62, 'a').append("/*"), std::string(62, 'a').append(" "), true}));

INSTANTIATE_TEST_SUITE_P(
    Open, RemoveBlockCommentsCases,
    testing::Values(BlockCase{true, "   middle", " ", true}, BlockCase{true, "", " ", true},
                    BlockCase{true, "/", " ", true}, BlockCase{true, "*/", " ", false},
                    BlockCase{true, "end */ x = 1;", "  x = 1;", false},
                    BlockCase{true, "x /* y */ z", "  z", false},
                    BlockCase{true, "a */ b /* c", "  b  ", true},
                    BlockCase{true, "a */ b /* c */ d", "  b  d", false},
                    BlockCase{true, "*/*", " *", false},
                    // The opener's asterisk closes a comment that was already open.
                    BlockCase{true, "/*/", " ", false},
                    // A lead byte hides the first closer.
                    BlockCase{true, "\x81*/ */ x", "  x", false},
                    BlockCase{true, std::string(62, 'a').append("*/"), " ", false}));

TEST(RemoveBlockComments, CarriesAnOpenCommentOverLines) {
    const std::vector<std::pair<std::string, std::string>> lines = {
        {"x /* y", "x  "}, {"a */ b /* c", "  b  "}, {"d */ e", "  e"}};
    bool InBlockComment = false;
    for (const auto& [line, expected] : lines) {
        EXPECT_EQ(Removed(line, InBlockComment), expected) << line;
    }
    EXPECT_FALSE(InBlockComment);
}

TEST(RemoveBlockComments, ReturnsTheLineItselfWhenNothingIsRemoved) {
    const std::string line = "int x = a */ b;";
    std::string scratch;
    bool InBlockComment = false;
    const LinePieces result = RemoveBlockComments(line, InBlockComment, scratch, kShiftJis);
    EXPECT_EQ(result.front.data(), line.data());
    EXPECT_EQ(result.front.size(), line.size());
    EXPECT_TRUE(result.back.empty());
}

TEST(RemoveBlockComments, SingleByteCodePageHidesNothing) {
    bool InBlockComment = false;
    EXPECT_EQ(Removed("\x81/* x */", InBlockComment, CodePage{}), "\x81");
}

}  // namespace
}  // namespace kezurin
