#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "c_syntax_reference.hpp"
#include "removed.hpp"

namespace kezurin::syntax {
namespace {

using namespace std::string_literals;

std::string CSyntaxRemoved(std::string_view text, const CodePage& codePage) {
    return Removed(MakeCRemoval, text, codePage);
}
// Every line a part of its own, so that all state has to cross from part to part.
std::string RemovedLineByLine(std::string_view text, const CodePage& codePage) {
    return RemovedInParts(MakeCRemoval, text, codePage, ~std::uint64_t{0});
}

struct Case {
    const char* name;
    std::string input;
    std::string expected;
    bool shiftJis = false;
};

class CSyntaxTest : public testing::TestWithParam<Case> {};

TEST_P(CSyntaxTest, RemovesWhatACompilerSeesAsComments) {
    const Case& c = GetParam();
    const CodePage codePage = c.shiftJis ? kShiftJis : CodePage{};
    EXPECT_EQ(CSyntaxRemoved(c.input, codePage), c.expected);
    EXPECT_EQ(RemovedLineByLine(c.input, codePage), c.expected);
    EXPECT_EQ(reference::CSyntaxOutput(c.input, codePage), c.expected) << "the reference lexer";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CSyntaxTest,
    testing::Values(
        // What the window's rules get wrong.
        Case{"comment marker in a second string", "printf(\"%s\", \"http://x.jp/a\"); // c\n",
             "printf(\"%s\", \"http://x.jp/a\"); \n"},
        Case{"slashes in a block comment", "/* see http://a.b/c */ x = 1;\ny;\n", " x = 1;\ny;\n"},
        Case{"quote in a character literal", "char c = '\"'; s = \"a//b\";\n", "char c = '\"'; s = \"a//b\";\n"},
        Case{"escaped quote", "s = \"\\\"//\"; // x\n", "s = \"\\\"//\"; \n"},
        // The one space.
        Case{"tokens kept apart", "a/**/b\n", "a b\n"},
        Case{"no space before the line's end", "x; /* c */\n", "x; \n"},
        Case{"no space beside a blank", "a /* b */c\td/**/\te\n", "a c\td\te\n"},
        Case{"adjacent comments are one", "a/**//**/b/**///c\n", "a b\n"},
        Case{"comment over lines leaves empty lines", "int a; /* first\r\n   middle\r\n\r\n   last */ int b; // tail\r\n",
             "int a; \r\n\r\n\r\n int b; \r\n"},
        Case{"no nesting, /*/ does not close", "/* a /* b */ c /*/ d */ e\n", " c  e\n"},
        Case{"closer without opener", "a */ b\n", "a */ b\n"},
        // Literals.
        Case{"prefixed literals", "L\"//\" u\"/*\" U'/' u8\"//\" u8'x' // c\n", "L\"//\" u\"/*\" U'/' u8\"//\" u8'x' \n"},
        Case{"open literal ends at the line's end", "s = \"abc // d\nx; // e\nc = ';\n", "s = \"abc // d\nx; \nc = ';\n"},
        Case{"character after an identifier", "x'a'; // c\n", "x'a'; \n"},
        Case{"raw string over lines", "s = R\"x(a */ \" // b\n/* c )\" )x\"; // d\n",
             "s = R\"x(a */ \" // b\n/* c )\" )x\"; \n"},
        Case{"raw string prefixes", "LR\"(//)\" u8R\"(/*)\" uR\"(a)\" UR\"(b)\" // c\n",
             "LR\"(//)\" u8R\"(/*)\" uR\"(a)\" UR\"(b)\" \n"},
        Case{"R inside an identifier is no prefix", "xR\"(\" // c\n", "xR\"(\" \n"},
        Case{"raw delimiter too long is a plain string", "R\"12345678901234567(\" // c\n", "R\"12345678901234567(\" \n"},
        Case{"suffix after a literal is no prefix", "\"a\"R\"(\" // c\n", "\"a\"R\"(\" \n"},
        // Numbers.
        Case{"digit separators", "x = 1'000'000 + 0x1'FF; // c\n", "x = 1'000'000 + 0x1'FF; \n"},
        Case{"separator after an exponent sign", "1e+1'0 // c\n", "1e+1'0 \n"},
        Case{"quote after a separated number opens a literal", "x+1'2'//c\n", "x+1'2'//c\n"},
        Case{"number after a dot", "a.1'2 // c\n", "a.1'2 \n"},
        Case{"quote not followed by a digit opens a literal", "1'/'; // c\n", "1'/'; \n"},
        // Line splices.
        Case{"spliced line comment", "a; // b \\\nc\nd\n", "a; \n\nd\n"},
        Case{"spliced line comment, CR LF", "a; // b \\\r\nc\r\nd\r\n", "a; \r\n\r\nd\r\n"},
        Case{"splice between slash and star", "a /\\\n* b */ c\n", "a \n c\n"},
        Case{"splice between slash and slash", "a /\\\n/ b\nc\n", "a \n\nc\n"},
        Case{"splice between star and slash", "/* a *\\\n/ b\n", "\n b\n"},
        Case{"slash and splice, no comment", "a /\\\nb\n", "a /\\\nb\n"},
        Case{"comment at a continued line's start keeps tokens apart", "#define X\\\n/**/foo\n",
             "#define X\\\n foo\n"},
        Case{"splice inside a string", "s = \"a\\\n//b\"; // c\n", "s = \"a\\\n//b\"; \n"},
        Case{"spliced escape escapes the next line's quote", "s = \"\\\\\n\"; // c\n", "s = \"\\\\\n\"; // c\n"},
        Case{"splice before a raw string's quote", "R\\\n\"(//)\" // c\n", "R\\\n\"(//)\" \n"},
        Case{"splice inside a raw string is its text", "R\"(a\\\n)\" // c\n", "R\"(a\\\n)\" \n"},
        Case{"splice inside a number", "1\\\n'2' // c\n", "1\\\n'2' // c\n"},
        Case{"blanks between backslash and break", "// a \\ \t\nb\nc\n", "\n\nc\n"},
        Case{"comment after a stray backslash stays a line break", "a \\// b\nc \\ /* d\n*/ e\n",
             "a \\/**/\nc \\ /**/\n e\n"},
        Case{"comment after a backslash and a lone CR", "a \\\r// b\n", "a \\\r/**/\n"},
        // Encodings.
        Case{"shift-jis so in a string", "s = \"\x83\x5C\"; // c\n", "s = \"\x83\x5C\"; \n", true},
        Case{"shift-jis no in a character literal", "c = '\x94\x5C'; /* c */ d\n", "c = '\x94\x5C';  d\n", true},
        Case{"shift-jis so at a comment's end is no splice", "// \x83\x5C\nx;\n", "\nx;\n", true},
        Case{"utf-8 backslash is a backslash", "s = \"\x83\x5C\"; // c\n", "s = \"\x83\x5C\"; // c\n"},
        // Program texts are Shift-JIS here; UTF-8 as bytes.
        Case{"utf-8 text", "s = \"\xE6\x97\xA5//\xE6\x9C\xAC\"; /* \xE6\xB3\xA8 */ x // \xE8\xAA\x9E\n",
             "s = \"\xE6\x97\xA5//\xE6\x9C\xAC\";  x \n"},
        Case{"shift-jis text", "s = \"日本//語\"; /* 注 */ x // 説明\n", "s = \"日本//語\";  x \n", true},
        // Bad input.
        Case{"unclosed comment at the end", "a /* b\nc", "a \n"},
        Case{"unclosed raw string at the end", "R\"x(a // b", "R\"x(a // b"},
        Case{"lone lead byte at the end", "a // \x83", "a ", true},
        Case{"nul bytes", "a\0b /* \0 */\0\n"s, "a\0b \0\n"s},
        Case{"slash at the very end", "a /", "a /"},
        Case{"held slash at the end", "a /\\\n", "a /\\\n"}));

// Parts cut at any line break: a raw string and a block comment run on from one to the next.
TEST(CSyntaxPartsTest, StateCrossesEveryLineBoundary) {
    const std::string text = "a = R\"(x\n// y\n)\"; /* b\nc */ d /\\\n\\\n* e */ f 1'\\\n2'//g\\\nh\ni\n";
    const std::string whole = CSyntaxRemoved(text, CodePage{});
    EXPECT_EQ(whole, "a = R\"(x\n// y\n)\"; \n d \n\n f 1'\\\n2'//g\\\nh\ni\n");
    for (unsigned cut = 0; cut < 10; ++cut) {
        EXPECT_EQ(RemovedInParts(MakeCRemoval, text, CodePage{}, std::uint64_t{1} << cut), whole) << "cut " << cut;
    }
}

// Whether a Shift-JIS reading could lex the line apart: the choice of
// --encoding auto waits before such a line.
bool CodePageMattersForCSyntax(std::string_view line) {
    const auto removal = MakeCRemoval(CodePage{}, [](std::string_view) {});
    return removal->TakeLinesAlike(line, kShiftJis) != line.size();
}

TEST(CSyntaxCodePageTest, MattersOnlyWhereASecondByteMeansSomethingElse) {
    EXPECT_FALSE(CodePageMattersForCSyntax("int a; // plain\n"));
    EXPECT_FALSE(CodePageMattersForCSyntax("s = \"\xE6\x97\xA5\xE6\x9C\xAC\";\n"));  // UTF-8 日本
    EXPECT_FALSE(CodePageMattersForCSyntax("s = \"\x82\xA0\";\n"));  // Shift-JIS あ
    EXPECT_TRUE(CodePageMattersForCSyntax("s = \"\x83\x5C\";\n"));   // ソ
    EXPECT_TRUE(CodePageMattersForCSyntax("x\x81\x65+1'2'\n"));      // an exponent letter
}

}  // namespace
}  // namespace kezurin::syntax
