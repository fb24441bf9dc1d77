#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "removed.hpp"

namespace kezurin::syntax {
namespace {

struct Case {
    const char* syntax;
    const char* name;
    std::string input;
    std::string expected;
    bool shiftJis = false;
};

class SyntaxTest : public testing::TestWithParam<Case> {};

TEST_P(SyntaxTest, RemovesWhatTheLanguageSeesAsComments) {
    const Case& c = GetParam();
    const MakeRemoval make = FindSyntax(c.syntax)->make;
    const CodePage codePage = c.shiftJis ? kShiftJis : CodePage{};
    EXPECT_EQ(Removed(make, c.input, codePage), c.expected);
    EXPECT_EQ(RemovedInParts(make, c.input, codePage, ~std::uint64_t{0}), c.expected) << "line by line";
}

INSTANTIATE_TEST_SUITE_P(
    Json, SyntaxTest,
    testing::Values(
        Case{"json", "escaped backslash ends a string", "{\"a\": \"C:\\\\\", // c\n", "{\"a\": \"C:\\\\\", \n"},
        Case{"json", "escaped quote", "\"\\\"//\" // c\n", "\"\\\"//\" \n"},
        Case{"json", "unicode escapes of slashes", "\"\\u002F\\u002F\" /* c */ 1\n", "\"\\u002F\\u002F\"  1\n"},
        Case{"json", "json5 single quotes and a continued line", "'//' // c\n'a\\\n// b' // d\n", "'//' \n'a\\\n// b' \n"},
        Case{"json", "block over lines, CR LF", "{ /* a\r\nb */ \"x\": 1 }\r\n", "{ \r\n \"x\": 1 }\r\n"},
        Case{"json", "tokens kept apart", "1/**/2\n", "1 2\n"},
        Case{"json", "shift-jis so closes the string", "\"\x83\x5C\" // c\n", "\"\x83\x5C\" \n", true},
        Case{"json", "utf-8 backslash escapes the quote", "\"\x83\x5C\" // c\n", "\"\x83\x5C\" // c\n"},
        Case{"json", "shift-jis text", "{\"名前\": \"表示//\"} // 説明\n", "{\"名前\": \"表示//\"} \n", true}));

INSTANTIATE_TEST_SUITE_P(
    Css, SyntaxTest,
    testing::Values(
        Case{"css", "// is never a comment", "a { b: url(//cdn.example/a.png); grid-area: 1 // 2 }\n",
             "a { b: url(//cdn.example/a.png); grid-area: 1 // 2 }\n"},
        Case{"css", "block comments", "/* c */a{}/* d\n */b{}\n", "a{}\nb{}\n"},
        Case{"css", "an escaped slash opens nothing", ".a\\/* {} */\n", ".a\\/* {} */\n"},
        Case{"css", "comment markers in strings", "s: \"/*\"; t: '*/'; /* c */\n", "s: \"/*\"; t: '*/'; \n"},
        Case{"css", "quoted url is a string", "u: url( \"a/*b*/\" )/*c*/x\n", "u: url( \"a/*b*/\" ) x\n"},
        Case{"css", "unquoted url runs to its parenthesis", "u: url(\n a/*b*/ ) /*c*/\n", "u: url(\n a/*b*/ ) \n"},
        Case{"css", "a longer name is no url", "xurl(/*a*/)\n", "xurl( )\n"},
        Case{"css", "escaped line break goes on, a bare one ends", "\"a\\\n/* b */\" \"c\n/* d */e\n",
             "\"a\\\n/* b */\" \"c\ne\n"},
        Case{"css", "an escaped blank joins", "a\\ /**/b\n", "a\\  b\n"},
        Case{"css", "shift-jis so closes the string", "\"\x83\x5C\" /* c */x\n", "\"\x83\x5C\" x\n", true},
        Case{"css", "shift-jis text", "/* 見出し */ h1::after { content: \"表\"; }\n", " h1::after { content: \"表\"; }\n",
             true}));

INSTANTIATE_TEST_SUITE_P(
    ScssAndLess, SyntaxTest,
    testing::Values(
        Case{"scss", "line comments", "$a: 1; // c\n", "$a: 1; \n"},
        Case{"scss", "url and strings keep //", "a { b: url(//cdn/a.png); c: \"//\"; } // d\n",
             "a { b: url(//cdn/a.png); c: \"//\"; } \n"},
        Case{"scss", "interpolation keeps //", "d: #{ 1 // 2 }; e: url(#{$u}//x) // f\n", "d: #{ 1 // 2 }; e: url(#{$u}//x) \n"},
        Case{"scss", "strings nest in interpolation in strings", "c: \"#{ \"}//\" }//\"; // g\n", "c: \"#{ \"}//\" }//\"; \n"},
        Case{"scss", "block comments in interpolation", "#{ /* c */ a }\n", "#{  a }\n"},
        Case{"scss", "shift-jis so closes the string", "\"\x83\x5C\" // c\n", "\"\x83\x5C\" \n", true},
        Case{"scss", "shift-jis brace is no bracket", "#{ \"a\" \x83\x7D } // c\n", "#{ \"a\" \x83\x7D } \n", true},
        Case{"less", "line comments", "@a: ~\"//\"; // c\n.m() { /* x */ }\n", "@a: ~\"//\"; \n.m() {  }\n"},
        Case{"less", "url keeps //", ".a { b: url(//x); } // c\n", ".a { b: url(//x); } \n"},
        Case{"less", "shift-jis text", "// 色\n@色: red;\n", "\n@色: red;\n", true}));

struct OpenCase {
    const char* syntax;
    std::string input;
    std::optional<OpenConstruct> open;
};

class LeftOpenTest : public testing::TestWithParam<OpenCase> {};

TEST_P(LeftOpenTest, NamesTheOutermostConstructAndItsLine) {
    std::optional<OpenConstruct> open;
    RemovedInParts(FindSyntax(GetParam().syntax)->make, GetParam().input, CodePage{}, 0, nullptr, &open);
    ASSERT_EQ(open.has_value(), GetParam().open.has_value());
    if (!open) return;
    EXPECT_EQ(open->what, GetParam().open->what);
    EXPECT_EQ(open->line, GetParam().open->line);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, LeftOpenTest,
    testing::Values(OpenCase{"json", "{\n\"a\": 1 /* x\n", OpenConstruct{"block comment", 2}},
                    OpenCase{"css", "a {\nb: url( x\n", OpenConstruct{"url(", 2}},
                    OpenCase{"scss", "a: 1;\nb: \"x #{ y /* z\n\n", OpenConstruct{"string", 2}},
                    OpenCase{"scss", "#{ a\n", OpenConstruct{"interpolation", 1}},
                    OpenCase{"c", "x;\nR\"x(\n", OpenConstruct{"raw string", 2}},
                    OpenCase{"c", "\"abc", OpenConstruct{"string", 1}},
                    OpenCase{"css", "\"abc\n", std::nullopt}, OpenCase{"c", "// a", std::nullopt}));

TEST(SyntaxTableTest, ExtensionsPickTheirSyntax) {
    EXPECT_EQ(SyntaxForExtension("JSON5")->name, "json");
    EXPECT_EQ(SyntaxForExtension("scss")->name, "scss");
    EXPECT_EQ(SyntaxForExtension("h")->name, "c");
    EXPECT_EQ(SyntaxForExtension("c++")->name, "c");
    EXPECT_EQ(SyntaxForExtension("txt"), nullptr);
    EXPECT_EQ(SyntaxForExtension(""), nullptr);
    EXPECT_EQ(FindSyntax("lines"), nullptr);
}

}  // namespace
}  // namespace kezurin::syntax
