#include <gtest/gtest.h>

#include <string>

#include "info_page.hpp"

namespace kezurin {
namespace {

struct PathCase {
    const char* name;
    std::string path;
    std::string programName;
};

class ProgramNameRule : public ::testing::TestWithParam<PathCase> {};

TEST_P(ProgramNameRule, TakesTheFileNameWithoutItsLastExtension) {
    EXPECT_EQ(ProgramName(GetParam().path, kShiftJis), GetParam().programName);
    EXPECT_EQ(InfoPageAddress(GetParam().path, kShiftJis),
              "http://kezurin.example/info.php?pf=w&sn=" + GetParam().programName);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramNameRule,
    ::testing::Values(
        PathCase{"TwoDots", "C:\\Tools\\kit.old.exe", "kit.old"},
        PathCase{"NoExtension", "C:\\Tools\\kit", "kit"},
        PathCase{"DotInAFolderOnly", "C:\\v1.2\\kit", "kit"},
        PathCase{"DriveColonOnly", "D:kit.exe", "kit"},
        PathCase{"NoFolder", "kit.exe", "kit"},
        PathCase{"EndsWithADot", "C:\\kit.", "kit"},
        PathCase{"EmptyPath", "", ""},
        // 表 is 0x95 0x5C: its second byte is no "\"
        PathCase{"TrailByteLikeBackslash", "C:\\Tools\\\x95\x5C.exe", "\x95\x5C"},
        PathCase{"TrailByteLikeBackslashInTheMiddle", "C:\\a\\x\x95\x5Cy.exe", "x\x95\x5Cy"},
        PathCase{"TrailByteLikeBackslashBeforeTheName", "C:\\\x95\x5C\\kit.exe", "kit"},
        // ソ (0x83 0x5C) ends the folder name, then the separator
        PathCase{"JapaneseFolderAndName", "C:\\ソフト\\ケズリン.exe", "ケズリン"}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST(ProgramNameRule, WithoutLeadBytesEveryBackslashSeparates) {
    EXPECT_EQ(ProgramName("C:\\Tools\\\x95\x5C.exe", CodePage()), "");
}

}  // namespace
}  // namespace kezurin
