#include <gtest/gtest.h>

#include <string>

#include "line_comment.hpp"

namespace kezurin {
namespace {

struct LineCase {
    std::string line;
    std::string expected;
};

class RemoveLineCommentCases : public testing::TestWithParam<LineCase> {};

TEST_P(RemoveLineCommentCases, CutsBeforeTheLineComment) {
    EXPECT_EQ(RemoveLineComment(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RemoveLineCommentCases,
    testing::Values(
        LineCase{"int a; // comment", "int a; "}, LineCase{"// whole line", ""},
        LineCase{"x = 1;", "x = 1;"}, LineCase{"", ""}, LineCase{"a /// b", "a "},
        LineCase{R"(printf("a//b"); // c)", R"(printf("a//b"); )"},
        LineCase{R"(printf("a//b");)", R"(printf("a//b");)"},
        LineCase{R"(x = 1; // say "hi" // there)", "x = 1; "},
        LineCase{R"(f("a//b", "c//d");)", R"(f("a//b", "c)"},
        LineCase{R"(a = "x"; b = "p//q"; // c)", R"(a = "x"; b = "p)"},
        LineCase{R"("a" "b//c")", R"("a" "b)"},
        LineCase{R"(c = '"'; // d)", R"(c = '"'; )"},
        LineCase{R"(s = "\""; // x)", R"(s = "\""; )"},
        LineCase{R"(s = "\"//"; t; // x)", R"(s = "\")"},
        LineCase{"a = 1; /* b // c */", "a = 1; /* b "}, LineCase{R"("//)", R"(")"},
        LineCase{R"(//"a")", ""},
        LineCase{"表示(); // 日本語", "表示(); "},
        // Second bytes 0x5C and 0x7C (表, ポ) before the comment change nothing.
        LineCase{"\x95\x5C\x83\x7C // c", "\x95\x5C\x83\x7C "},
        // A lead byte directly before "//" swallows its first slash.
        LineCase{"\x81// x", "\x81// x"}, LineCase{"\x81/// x", "\x81/"},
        // Lead bytes before the quotes and before the "//" after them.
        LineCase{"\x81\"//\" // x", "\x81\""}, LineCase{"\"//\x81\" // x\"", "\"//\x81\" // x\""},
        LineCase{"\"//\" \x81// x", "\"//\" \x81// x"},
        LineCase{"\"//\" \x81\x81// x", "\"//\" \x81\x81"},
        // The last byte of a 64-byte line.
        LineCase{std::string(62, 'a').append("//"), std::string(62, 'a')},
        LineCase{std::string(1, '"').append(60, '/').append("\"//"),
                 std::string(1, '"').append(60, '/').append("\"")}));

TEST(RemoveLineComment, ReturnsAPrefixOfTheLineItself) {
    const std::string line = "code; // note";
    const std::string_view result = RemoveLineComment(line);
    EXPECT_EQ(result.data(), line.data());
    EXPECT_EQ(result, "code; ");
}

TEST(RemoveLineComment, QuoteSearchAfterTheFirstQuoteIsAPieceOfItsOwn) {
    // The lead byte before the second quote lies in the piece after the first
    // quote, so it still makes that quote a second byte.
    EXPECT_EQ(RemoveLineComment("\"//\x81\"x\" // c"), "\"//\x81\"x\" ");
    EXPECT_EQ(RemoveLineComment("\"//\x81\" // c", CodePage{}), "\"//\x81\" ");
}

}  // namespace
}  // namespace kezurin
