// The window hands the engine UTF-8 with no lead bytes where it used to hand
// it Shift-JIS with code page 932. The passes cut only at "/", "*" and '"', so
// both give the same text if those bytes never stand inside a character of
// either encoding, and if FindPattern never rejects one on well-formed
// Shift-JIS. The fuzz target code_pages compares the two routes on whole texts.
#include <gtest/gtest.h>

#include <string>

#include "kezurin/code_page.hpp"

namespace kezurin {
namespace {

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
