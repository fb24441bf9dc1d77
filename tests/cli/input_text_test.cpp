#include "input_text.hpp"

#include <gtest/gtest.h>

#include <string>

#include "kezurin/utf8_check.hpp"

namespace kezurin::cli {
namespace {

using namespace std::string_literals;

bool IsValidUtf8(std::string_view text) {
    Utf8Check check;
    check.Feed(text);
    return check.Valid();
}

struct Utf8Case {
    const char* name;
    std::string text;
    bool valid;
};

class IsValidUtf8Test : public testing::TestWithParam<Utf8Case> {};

TEST_P(IsValidUtf8Test, Judges) { EXPECT_EQ(IsValidUtf8(GetParam().text), GetParam().valid) << GetParam().name; }

// The same judgement with the text fed in three parts, cut anywhere.
TEST_P(IsValidUtf8Test, JudgesTheSameInParts) {
    const std::string& text = GetParam().text;
    for (std::size_t first = 0; first <= text.size(); ++first) {
        for (std::size_t second = first; second <= text.size(); ++second) {
            Utf8Check check;
            check.Feed(std::string_view(text).substr(0, first));
            check.Feed(std::string_view(text).substr(first, second - first));
            check.Feed(std::string_view(text).substr(second));
            ASSERT_EQ(check.Valid(), GetParam().valid) << GetParam().name << " cut at " << first << ", " << second;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IsValidUtf8Test,
    testing::Values(Utf8Case{"empty", "", true}, Utf8Case{"ascii", "int a; // x\r\n", true},
                    Utf8Case{"japanese (hiragana a, kanji hyou)", "\xE3\x81\x81 \xE8\xA1\xA8", true},
                    Utf8Case{"four-byte character", "\xF0\x9F\x98\x80", true},
                    Utf8Case{"largest code point", "\xF4\x8F\xBF\xBF", true},
                    Utf8Case{"shift-jis hyou", "\x95\x5C", false},
                    Utf8Case{"shift-jis katakana ke", "\x83\x50", false},
                    Utf8Case{"stray continuation byte", "a\x80", false},
                    Utf8Case{"overlong slash", "\xC0\xAF", false},
                    Utf8Case{"overlong three-byte", "\xE0\x80\xAF", false},
                    Utf8Case{"surrogate", "\xED\xA0\x80", false},
                    Utf8Case{"above U+10FFFF", "\xF4\x90\x80\x80", false},
                    Utf8Case{"cut off at the end", "abc\xE3\x81", false},
                    Utf8Case{"bad byte after eight ascii bytes", "12345678\xFF", false},
                    Utf8Case{"bad byte after a long ascii run", std::string(100, 'x') + "\x95\x5C" + "tail", false},
                    Utf8Case{"nul bytes", "a\0b\0"s, true},
                    // Across the 64-byte blocks the check works in.
                    Utf8Case{"character across blocks", std::string(62, 'x') + "\xE3\x81\x81", true},
                    Utf8Case{"surrogate across blocks", std::string(63, 'x') + "\xED\xA0\x80", false},
                    Utf8Case{"overlong across blocks", std::string(63, 'x') + "\xE0\x80\xAF", false},
                    Utf8Case{"above U+10FFFF across blocks", std::string(63, 'x') + "\xF4\x90\x80\x80", false},
                    Utf8Case{"cut off in the second block", std::string(64, 'x') + "\xE3\x81", false},
                    Utf8Case{"continuation after a whole block", std::string(64, 'x') + "\x80", false}));

// UTF-8 "ぁ" ends in 0x81, a Shift-JIS lead byte, so in code page 932 the
// first "/" after it would be a second byte and no "//" would be found.
TEST(CodePageChoice, AutoTakesUtf8ForValidUtf8AndCp932Otherwise) {
    const std::string utf8 = "\xE3\x81\x81//";
    EXPECT_FALSE(AutoCodePage(IsValidUtf8(utf8)).IsLeadByte('\x81'));
    EXPECT_TRUE(AutoCodePage(IsValidUtf8(utf8 + "\xFF")).IsLeadByte('\x81'));
    EXPECT_TRUE(AutoCodePage(IsValidUtf8("\x95\x5C")).IsLeadByte('\x95'));
    EXPECT_FALSE(NamedCodePage(Encoding::Auto));
}

TEST(CodePageChoice, ExplicitChoiceWinsOverTheText) {
    EXPECT_TRUE(NamedCodePage(Encoding::Cp932)->IsLeadByte('\x81'));
    EXPECT_FALSE(NamedCodePage(Encoding::Utf8)->IsLeadByte('\x95'));
}

TEST(ParseEncodingTest, KnowsTheThreeNames) {
    EXPECT_EQ(ParseEncoding("auto"), Encoding::Auto);
    EXPECT_EQ(ParseEncoding("CP932"), Encoding::Cp932);
    EXPECT_EQ(ParseEncoding("utf-8"), Encoding::Utf8);
    EXPECT_EQ(ParseEncoding("UTF8"), Encoding::Utf8);
    EXPECT_EQ(ParseEncoding("latin1"), std::nullopt);
    EXPECT_EQ(ParseEncoding(""), std::nullopt);
}

}  // namespace
}  // namespace kezurin::cli
