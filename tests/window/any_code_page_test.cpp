// The window on any system code page: Unicode text through the panes and the
// clipboard, and the Japanese interface texts. These tests run twice, under
// LANG=ja_JP.UTF-8 (code page 932) and under LANG=en_US.UTF-8 (1252).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "commands_fixture.hpp"
#include "message_box_watch.hpp"

namespace kezurin::testing {
namespace {

using AnyCodePage = CommandTest;

struct UnicodeCase {
    const char* name;
    std::wstring input;
    std::wstring output;
};

class AnyCodePageRoundTrip : public CommandTest, public ::testing::WithParamInterface<UnicodeCase> {};

TEST_P(AnyCodePageRoundTrip, PastedRunAndCopiedTextIsTheInputLessItsComments) {
    ASSERT_TRUE(PutUnicodeOnClipboard(GetParam().input));
    Click(form->Button2());
    EXPECT_EQ(WideTextOf(form->Memo1()), GetParam().input);
    Click(form->Button1());
    ASSERT_TRUE(PutUnicodeOnClipboard(L"held before"));
    Click(form->Button3());
    EXPECT_EQ(UnicodeClipboardText(), GetParam().output);
    EXPECT_EQ(WideTextOf(form->Handle()), L"ケズリン - 除去終了");
    EXPECT_TRUE(messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AnyCodePageRoundTrip,
    ::testing::Values(
        UnicodeCase{"ManyScripts",
                    L"const char* s = \"café ✓ 🙂 – 数据\"; // コメント\r\n"
                    L"int 한국어 = 1; /* Кириллица */ x; // ελληνικά\r\n"
                    L"/* début\r\n"
                    L"  ✓ fin */ y = \"–\";\r\n",
                    L"const char* s = \"café ✓ 🙂 – 数据\"; \r\n"
                    L"int 한국어 = 1;  x; \r\n"
                    L" \r\n"
                    L"  y = \"–\";\r\n"},
        // Surrogates without their partner stay; two that a removed comment
        // brings together make the pair they make in UTF-16.
        UnicodeCase{"LoneSurrogates",
                    L"a\xD83D/**/\xDE42 = 1; // \xDC00\r\nb = \"\xD800\"; c\xDFFF;",
                    L"a\U0001F642 = 1; \r\nb = \"\xD800\"; c\xDFFF;"},
        UnicodeCase{"Japanese",
                    L"// 表示する\r\nx = \"ソ\"; /* 能力 */ y = 1; // 予定\r\n/* ｢半角｣\r\n  ～ */ z;",
                    L"\r\nx = \"ソ\";  y = 1; \r\n \r\n  z;"}),
    [](const auto& tested) { return std::string(tested.param.name); });

// A typed letter lands behind the line written last, its end counted in
// UTF-16 units (6 here, where UTF-8 has 9 bytes and the text 5 characters).
TEST_F(AnyCodePage, TheCaretEndsBehindTheLineWrittenLast) {
    ASSERT_TRUE(PutUnicodeOnClipboard(L"a \U0001F642\u00E9 // x\r\n"));
    Click(form->Button2());
    Click(form->Button1());
    SendMessageW(form->Memo2(), WM_CHAR, L'Q', 1);
    Pump();
    EXPECT_EQ(WideTextOf(form->Memo2()), L"a \U0001F642\u00E9 Q\r\n");
}

TEST_F(AnyCodePage, TheSystemCodePageIsTheOneThisRunIsFor) {
    const char* expected = std::getenv("KEZURIN_EXPECTED_ACP");
    if (!expected) GTEST_SKIP() << "no code page asked for";
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

TEST_F(AnyCodePage, CaptionsLabelsAndButtonsReadInJapanese) {
    EXPECT_EQ(WideTextOf(form->Handle()), L"ケズリン");
    EXPECT_EQ(WideTextOf(Application.OwnerWindow()), L"ケズリン");
    EXPECT_EQ(WideTextOf(form->Button2()), L"貼り付け");
    EXPECT_EQ(WideTextOf(form->Button1()), L"除去開始(&R)");
    EXPECT_EQ(WideTextOf(form->Button3()), L"コピー");
    EXPECT_EQ(WideTextOf(form->Label1()), L" Before");
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->Memo1(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, L"ＭＳ Ｐゴシック");
}

TEST_F(AnyCodePage, TheStatusBarShowsTheHintInJapanese) {
    const POINT button = ScreenCentre(form->Button1());
    ASSERT_TRUE(SetCursorPos(button.x, button.y));
    Pump();
    wchar_t text[64] = {};
    SendMessageW(form->StatusBar1(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"コメントアウトを除去");
    EXPECT_EQ(form->StatusText(), "コメントアウトを除去");  // its code-page-932 bytes
}

TEST_F(AnyCodePage, TheTooltipsHoldTheHintsInJapanese) {
    HWND tooltip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tooltip));
    ASSERT_NE(tooltip, nullptr);
    wchar_t text[80] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form->Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(form->Button3());
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"除去したソースをクリップボードにコピー");
}

TEST_F(AnyCodePage, TheProgressCaptionAndTheFailureMessageReadInJapanese) {
    form->SetMessageDisplay(nullptr);
    SetInput("a; // 1\r\nb; /* 2 */\r\nc;");
    int allocations = 0;
    // Fails handing the output over, after both passes: the last progress caption stays.
    form->SetRunAllocationCheck([&] {
        if (++allocations >= 9) throw std::bad_alloc();
    });
    const SeenBox seen = CloseTheMessageBoxOf([&] { Click(form->Button1()); });
    EXPECT_EQ(seen.wideCaption, L"ケズリン");
    EXPECT_EQ(seen.wideText, L"除去処理に失敗しました。");
    EXPECT_EQ(WideTextOf(form->Handle()), L"ケズリン - 2行目 コメントアウト｢/*～*/｣除去中...");
}

TEST_F(AnyCodePage, TheApplicationErrorBoxReadsInJapanese) {
    Application.SetErrorBox(nullptr);
    form->Bind(TMainForm1::Id::Button2, [](HWND) { throw Exception("貼り付けできません"); });
    const SeenBox seen = CloseTheMessageBoxOf([&] { Click(form->Button2()); });
    EXPECT_EQ(seen.wideCaption, L"ケズリン");
    EXPECT_EQ(seen.wideText, L"貼り付けできません.");
}

}  // namespace
}  // namespace kezurin::testing
