#include <gtest/gtest.h>

#include <string>

#include "wtf8.hpp"

namespace kezurin {
namespace {

struct Wtf8Case {
    const char* name;
    std::u16string utf16;
    std::string wtf8;
};

class Wtf8 : public ::testing::TestWithParam<Wtf8Case> {};

TEST_P(Wtf8, EncodesEveryCodeUnitAndDecodesItBack) {
    EXPECT_EQ(Wtf8FromUtf16(std::u16string_view(GetParam().utf16)), GetParam().wtf8);
    EXPECT_EQ(Utf16FromWtf8<char16_t>(GetParam().wtf8), GetParam().utf16);
    EXPECT_EQ(Utf16Length(GetParam().wtf8, GetParam().wtf8.size()), GetParam().utf16.size());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Wtf8,
    ::testing::Values(
        Wtf8Case{"Empty", u"", ""},
        Wtf8Case{"Ascii", u"a = 1; // b\r\n", "a = 1; // b\r\n"},
        Wtf8Case{"TwoAndThreeBytes", u"caf\u00E9 \u2713 \u2013 \u6570\u636E \uD55C \u0416",
                 "caf\xC3\xA9 \xE2\x9C\x93 \xE2\x80\x93 \xE6\x95\xB0\xE6\x8D\xAE \xED\x95\x9C \xD0\x96"},
        Wtf8Case{"SurrogatePair", u"\U0001F642", "\xF0\x9F\x99\x82"},
        Wtf8Case{"LoneLeadSurrogate", std::u16string{u'a', char16_t(0xD83D), u'b'}, "a\xED\xA0\xBD" "b"},
        Wtf8Case{"LoneTrailSurrogate", std::u16string{char16_t(0xDE42)}, "\xED\xB9\x82"},
        Wtf8Case{"TrailBeforeLead", std::u16string{char16_t(0xDE42), char16_t(0xD83D)},
                 "\xED\xB9\x82\xED\xA0\xBD"},
        Wtf8Case{"LastUnits", std::u16string{char16_t(0xFFFF), char16_t(0xDBFF), char16_t(0xDFFF)},
                 "\xEF\xBF\xBF\xF4\x8F\xBF\xBF"}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST(Wtf8Text, SurrogatesThatMeetOnceACommentBetweenThemIsGoneFormAPair) {
    // What the engine leaves of a lead surrogate, "/**/" and a trail surrogate.
    EXPECT_EQ(Utf16FromWtf8<char16_t>("\xED\xA0\xBD\xED\xB9\x82"), u"\U0001F642");
}

TEST(Wtf8Text, AByteThatBeginsNoWholeSequenceBecomesAReplacementCharacter) {
    EXPECT_EQ(Utf16FromWtf8<char16_t>("a\x80" "b\xE2\x9C"), u"a\uFFFDb\uFFFD\uFFFD");
    EXPECT_EQ(Utf16Length("a\x80" "b\xE2\x9C", 5), 5u);
    // Overlong forms and points beyond U+10FFFF: each byte on its own.
    EXPECT_EQ(Utf16FromWtf8<char16_t>("\xE0\x80\xAF|\xF4\x90\x80\x80"),
              u"\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(Wtf8Text, CountsTheCodeUnitsOfAPrefix) {
    const std::string text = "\xC3\xA9\xF0\x9F\x99\x82x";  // é, an emoji, x
    EXPECT_EQ(Utf16Length(text, 0), 0u);
    EXPECT_EQ(Utf16Length(text, 2), 1u);
    EXPECT_EQ(Utf16Length(text, 6), 3u);
    EXPECT_EQ(Utf16Length(text, 7), 4u);
}

}  // namespace
}  // namespace kezurin
