#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "commands_fixture.hpp"

namespace kezurin::testing {
namespace {

// --- The input-change rule -------------------------------------------------

struct EditCase {
    const char* name;
    std::string typed;  // one WM_CHAR each
};

class InputChange : public CommandTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(InputChange, AnEditThatLeavesTextEnablesBothButtonsAndEmptiesTheOutput) {
    SetWindowTextA(form->Memo2(), "old result");
    for (char c : GetParam().typed) Type(form->Memo1(), c);
    EXPECT_TRUE(RemovalEnabled());
    EXPECT_TRUE(CopyEnabled());
    EXPECT_EQ(WindowText(form->Memo2()), "");
}

INSTANTIATE_TEST_SUITE_P(Edits, InputChange,
                         ::testing::Values(EditCase{"OneLetter", "x"}, EditCase{"OneSpace", " "},
                                           EditCase{"SpacesOnly", "   "},
                                           EditCase{"LineBreakOnly", "\r"},
                                           EditCase{"TypedThenOneDeleted", "ab\b"}),
                         [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(CommandTest, DeletingTheWholeInputDisablesBothButtonsAndKeepsTheOutput) {
    Type(form->Memo1(), 'x');
    SetWindowTextA(form->Memo2(), "result of a run");
    Type(form->Memo1(), '\b');
    EXPECT_EQ(WindowText(form->Memo1()), "");
    EXPECT_FALSE(RemovalEnabled());
    EXPECT_FALSE(CopyEnabled());
    EXPECT_EQ(WindowText(form->Memo2()), "result of a run");
}

TEST_F(CommandTest, AnyLaterEditThatLeavesTextThrowsTheOutputAway) {
    SetInput("int a;");
    SetWindowTextA(form->Memo2(), "result of a run");
    Type(form->Memo1(), '\b');
    EXPECT_EQ(WindowText(form->Memo2()), "");
    EXPECT_TRUE(RemovalEnabled());
}

// --- Paste -----------------------------------------------------------------

struct PasteCase {
    const char* name;
    std::string before;  // the input before the paste
    std::string clipboard;
};

class PasteWithText : public CommandTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteWithText, ReplacesTheWholeInputEmptiesTheOutputAndEnablesBothButtons) {
    SetInput(GetParam().before);
    SetWindowTextA(form->Memo2(), "result of a run");
    ASSERT_TRUE(PutOnClipboard(GetParam().clipboard));
    changeReports = 0;
    Click(form->Button2());
    EXPECT_EQ(WindowText(form->Memo1()), GetParam().clipboard);
    EXPECT_EQ(WindowText(form->Memo2()), "");
    EXPECT_TRUE(RemovalEnabled());
    EXPECT_TRUE(CopyEnabled());
    EXPECT_EQ(changeReports, 1);  // the paste's, not the clearing's
}

INSTANTIATE_TEST_SUITE_P(
    Clipboards, PasteWithText,
    ::testing::Values(PasteCase{"IntoEmptyInput", "", "int a; // b"},
                      PasteCase{"OverOtherText", "old text\r\nmore", "new\r\ntext\r\n"},
                      PasteCase{"SameTextAsBefore", "int a; // b", "int a; // b"},
                      PasteCase{"ShiftJis", "", "// 表示する\r\nx = \"ソ\";"},
                      PasteCase{"SpacesOnly", "x", "   "}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(CommandTest, PasteWithoutClipboardTextEmptiesTheInputAndChangesNothingElse) {
    SetInput("int a;");
    SetWindowTextA(form->Memo2(), "result of a run");
    ASSERT_TRUE(PutOnClipboard(std::nullopt));
    changeReports = 0;
    Click(form->Button2());
    EXPECT_EQ(WindowText(form->Memo1()), "");
    EXPECT_EQ(WindowText(form->Memo2()), "result of a run");
    EXPECT_TRUE(RemovalEnabled());  // enabled with an empty input
    EXPECT_TRUE(CopyEnabled());
    EXPECT_EQ(changeReports, 0);
}

TEST_F(CommandTest, PasteWithoutClipboardTextKeepsDisabledButtonsDisabled) {
    ASSERT_TRUE(PutOnClipboard(std::nullopt));
    Click(form->Button2());
    EXPECT_EQ(WindowText(form->Memo1()), "");
    EXPECT_FALSE(RemovalEnabled());
    EXPECT_FALSE(CopyEnabled());
}

// --- Copy ------------------------------------------------------------------

TEST_F(CommandTest, CopyBeforeAnyRunLeavesTheClipboardAlone) {
    ASSERT_TRUE(PutOnClipboard("int a; // b"));
    Click(form->Button2());
    ASSERT_TRUE(PutOnClipboard("held before"));
    Click(form->Button3());
    EXPECT_EQ(ClipboardText(), "held before");
}

TEST_F(CommandTest, CopyAfterARunTakesTheWholeOutputWithItsLineBreaks) {
    const std::string input = "int a; // b\r\n/* c */ d;\r\n";
    ASSERT_TRUE(PutOnClipboard(input));
    Click(form->Button2());
    Click(form->Button1());
    ASSERT_TRUE(PutOnClipboard("held before"));
    Click(form->Button3());
    EXPECT_EQ(ClipboardText(), RemovedInMemory(input));
    DWORD start = 1;
    DWORD end = 0;
    SendMessageA(form->Memo2(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, static_cast<DWORD>(GetWindowTextLengthA(form->Memo2())));
}

TEST_F(CommandTest, CopyTakesWhatTheUserTypedIntoTheOutput) {
    SetInput("a = 1; // one");
    Click(form->Button1());
    const int end = GetWindowTextLengthA(form->Memo2());
    SendMessageA(form->Memo2(), EM_SETSEL, end, end);
    for (char c : std::string("\rb = 2;")) Type(form->Memo2(), c);
    Click(form->Button3());
    EXPECT_EQ(ClipboardText(), RemovedInMemory("a = 1; // one") + "\r\nb = 2;");
    EXPECT_EQ(WindowText(form->Memo1()), "a = 1; // one");  // the input stays as it was
}

// --- Information page ------------------------------------------------------

TEST_F(CommandTest, InformationButtonOpensThePageNamedAfterThisProgram) {
    SendMessageA(form->SpeedButton1(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(form->SpeedButton1(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].owner, form->Handle());
    EXPECT_EQ(opened[0].address, "http://kezurin.example/info.php?pf=w&sn=window_tests");
}

}  // namespace
}  // namespace kezurin::testing
