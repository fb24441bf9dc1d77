
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "window_fixture.hpp"

namespace kezurin::testing {
namespace {

using MainWindow = WindowTest;

int HalfWidthRule(int outerWidth) { return outerWidth / 2 - 9; }

TEST_F(MainWindow, StartsAt1024By600CentredOnTheDesktopWithTheTitleAsCaption) {
    RECT rect;
    GetWindowRect(form->Handle(), &rect);
    EXPECT_EQ(rect.right - rect.left, 1024);
    EXPECT_EQ(rect.bottom - rect.top, 600);
    EXPECT_EQ(rect.left, std::max(0, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1024) / 2));
    EXPECT_EQ(rect.top, std::max(0, (GetSystemMetrics(SM_CYVIRTUALSCREEN) - 600) / 2));
    // ケズリン in code page 932
    EXPECT_EQ(WindowText(form->Handle()), "\x83\x50\x83\x59\x83\x8A\x83\x93");
    EXPECT_EQ(GetWindow(form->Handle(), GW_OWNER), Application.OwnerWindow());
    EXPECT_EQ(WindowText(Application.OwnerWindow()), "ケズリン");
}

TEST_F(MainWindow, HasAResizableFrameAndNoMenuOrScrollBarsOfItsOwn) {
    const auto style = GetWindowLongPtrA(form->Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), 0);
    EXPECT_EQ(GetMenu(form->Handle()), nullptr);
    EXPECT_EQ(GetClassLongPtrA(form->Handle(), GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
}

TEST_F(MainWindow, LaysOutTheControlTreeAtTheStartSize) {
    const Size client = ClientSizeOf(form->Handle());
    EXPECT_EQ(BoxOf(form->StatusBar1()), (Box{0, client.height - 16, client.width, 16}));
    EXPECT_EQ(BoxOf(form->Panel0()), (Box{0, 0, client.width, client.height - 16}));
    const int paneHeight = client.height - 16 - 30;
    EXPECT_EQ(BoxOf(form->Panel1()), (Box{0, 0, client.width, 30}));
    EXPECT_EQ(BoxOf(form->Memo1()), (Box{0, 30, 503, paneHeight}));
    EXPECT_EQ(BoxOf(form->Splitter1()), (Box{503, 30, 4, paneHeight}));
    EXPECT_EQ(BoxOf(form->Memo2()), (Box{507, 30, client.width - 507, paneHeight}));

    const Box label1 = BoxOf(form->Label1());
    const Box label2 = BoxOf(form->Label2());
    EXPECT_EQ((Box{label1.left, label1.top, label1.height}), (Box{0, 0, 30}));
    EXPECT_EQ((Box{label2.left + label2.width, label2.top, label2.height}), (Box{client.width, 0, 30}));
    EXPECT_EQ(BoxOf(form->SpeedButton1()), (Box{client.width - 18, 0, 18, 18}));

    EXPECT_EQ(BoxOf(form->Panel2()), (Box{MulDivRounded(509, client.width, 1008) - 125, 0, 250, 30}));
    EXPECT_EQ(BoxOf(form->Button2()), (Box{0, 8, 60, 18}));
    EXPECT_EQ(BoxOf(form->Button1()), (Box{65, 4, 120, 22}));
    EXPECT_EQ(BoxOf(form->Button3()), (Box{190, 8, 60, 18}));
}

TEST_F(MainWindow, LabelsAreAsWideAsTheirTexts) {
    const auto windowFont = reinterpret_cast<HFONT>(SendMessageA(form->Memo1(), WM_GETFONT, 0, 0));
    for (HWND label : {form->Label1(), form->Label2()}) {
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)), windowFont);
        HDC dc = GetDC(label);
        const HGDIOBJ old = SelectObject(dc, windowFont);
        const std::string text = WindowText(label);
        SIZE extent{};
        GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &extent);
        SelectObject(dc, old);
        ReleaseDC(label, dc);
        EXPECT_EQ(BoxOf(label).width, extent.cx) << text;
    }
}

struct WidthCase {
    int outerWidth;
    int memo1Width;
};

class ResizeRule : public WindowTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(ResizeRule, GivesMemo1HalfTheOuterWidthMinus9AndTheRestToMemo2) {
    SetOuterWidth(GetParam().outerWidth);
    ASSERT_EQ(OuterWidth(form->Handle()), GetParam().outerWidth);
    EXPECT_EQ(BoxOf(form->Memo1()).width, GetParam().memo1Width);
    EXPECT_EQ(BoxOf(form->Splitter1()).left, GetParam().memo1Width);
    const Box memo2 = BoxOf(form->Memo2());
    EXPECT_EQ(memo2.left, GetParam().memo1Width + 4);
    EXPECT_EQ(memo2.left + memo2.width, ClientSizeOf(form->Panel0()).width);
    EXPECT_EQ(BoxOf(form->Panel1()).height, 30);
    EXPECT_EQ(BoxOf(form->StatusBar1()).height, 16);
}

INSTANTIATE_TEST_SUITE_P(Widths, ResizeRule,
                         ::testing::Values(WidthCase{1023, 502}, WidthCase{1024, 503},
                                           WidthCase{1025, 503}, WidthCase{700, 341},
                                           WidthCase{1201, 591}),
                         [](const auto& param) { return std::to_string(param.param.outerWidth); });

TEST_F(MainWindow, MaximisingAppliesTheResizeRuleToTheMaximisedWidth) {
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(form->Handle()));
    EXPECT_EQ(BoxOf(form->Memo1()).width, HalfWidthRule(OuterWidth(form->Handle())));
    ShowWindow(form->Handle(), SW_RESTORE);
    Pump();
    EXPECT_EQ(BoxOf(form->Memo1()).width, 503);
}

class GroupCentre : public WindowTest, public ::testing::WithParamInterface<int> {};

TEST_P(GroupCentre, StaysAt509Of1008OfTheBarWidthWithTheInfoButtonInTheCorner) {
    SetOuterWidth(GetParam());
    const int bar = ClientSizeOf(form->Panel1()).width;
    const Box group = BoxOf(form->Panel2());
    EXPECT_EQ(group.left + 125, MulDivRounded(509, bar, 1008)) << "bar width " << bar;
    EXPECT_EQ((Box{group.top, group.width, group.height}), (Box{0, 250, 30}));
    EXPECT_EQ(BoxOf(form->SpeedButton1()), (Box{bar - 18, 0, 18, 18}));
}

INSTANTIATE_TEST_SUITE_P(Widths, GroupCentre, ::testing::Values(300, 640, 1024, 1025, 1280));

class DividerDrag : public WindowTest {
protected:
    // Mouse messages as the divider gets them while it holds the capture.
    void Press(int x) { SendMessageA(form->Splitter1(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10)); }
    void MoveTo(int x) {
        SendMessageA(form->Splitter1(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(x), 10));
    }
    void Release(int x) {
        SendMessageA(form->Splitter1(), WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(x), 10));
        Pump();
    }
    int Drag(int dx) {
        Press(2);
        MoveTo(2 + dx / 2);
        MoveTo(2 + dx);
        Release(2 + dx);
        return BoxOf(form->Memo1()).width;
    }
    int LargestWidth() const { return ClientSizeOf(form->Panel0()).width - 30 - 4; }
};

struct DragCase {
    const char* name;
    int dx;
    int expectedWidth;  // -1: the largest width
};

class DividerDragBy : public DividerDrag, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DividerDragBy, ResizesMemo1WithinItsLimits) {
    const int expected = GetParam().expectedWidth < 0 ? LargestWidth() : GetParam().expectedWidth;
    EXPECT_EQ(Drag(GetParam().dx), expected);
    EXPECT_EQ(BoxOf(form->Splitter1()).left, expected);
    EXPECT_EQ(BoxOf(form->Memo2()).left, expected + 4);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, DividerDragBy,
    ::testing::Values(DragCase{"Right100", 100, 603}, DragCase{"Left100", -100, 403},
                      DragCase{"To31", 31 - 503, 31}, DragCase{"To30SnapsShut", 30 - 503, 0},
                      DragCase{"FarLeftSnapsShut", -2000, 0},
                      DragCase{"FarRightLeaves30ForMemo2", 3000, -1}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(DividerDrag, MovesNothingUntilTheButtonIsReleased) {
    Press(2);
    MoveTo(2 - 200);
    Pump();
    EXPECT_EQ(BoxOf(form->Memo1()).width, 503);
    Release(2 - 200);
    EXPECT_EQ(BoxOf(form->Memo1()).width, 303);
}

TEST_F(DividerDrag, EscapeEndsTheDragWithNoChange) {
    SetFocus(form->Memo1());
    Press(2);
    MoveTo(-200);
    PressKey(VK_ESCAPE);
    EXPECT_NE(GetCapture(), form->Splitter1());
    Release(-200);
    EXPECT_EQ(BoxOf(form->Memo1()).width, 503);
}

TEST_F(DividerDrag, AShutPaneOpensAgainFromTheLeftEdge) {
    ASSERT_EQ(Drag(-600), 0);
    EXPECT_EQ(BoxOf(form->Splitter1()).left, 0);
    EXPECT_EQ(Drag(250), 250);
}

TEST_F(DividerDrag, TheNextSizeChangeRestoresTheResizeRule) {
    ASSERT_EQ(Drag(-300), 203);
    SetOuterWidth(1025);
    EXPECT_EQ(BoxOf(form->Memo1()).width, 503);
}

struct HintCase {
    const char* name;
    HWND (TMainForm1::*control)() const;
    const char* hint;
};

class HintOver : public WindowTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(HintOver, IsTheControlsOwnOrItsNearestEnclosingControlsHint) {
    EXPECT_EQ(form->HintAt(ScreenCentre((form->*GetParam().control)())), GetParam().hint);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, HintOver,
    ::testing::Values(
        HintCase{"EnabledButton", &TMainForm1::Button2, "クリップボードからソースを貼り付け"},
        HintCase{"DisabledButton", &TMainForm1::Button1, "コメントアウトを除去"},
        HintCase{"DisabledCopyButton", &TMainForm1::Button3, "除去したソースをクリップボードにコピー"},
        HintCase{"InfoButton", &TMainForm1::SpeedButton1, "インフォメーション"},
        HintCase{"InputPane", &TMainForm1::Memo1, "処理前ソース"},
        HintCase{"OutputPane", &TMainForm1::Memo2, "処理後ソース"},
        HintCase{"Label", &TMainForm1::Label1, ""},
        HintCase{"Divider", &TMainForm1::Splitter1, ""},
        HintCase{"StatusBar", &TMainForm1::StatusBar1, ""}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(MainWindow, TheEmptyTopBarHasNoHint) {
    const Box group = BoxOf(form->Panel2());
    POINT gap{group.left - 20, 5};
    ClientToScreen(form->Panel1(), &gap);
    EXPECT_EQ(form->HintAt(gap), "");
}

TEST_F(MainWindow, IdleTimeWritesTheHintUnderThePointerIntoTheStatusBar) {
    const POINT disabled = ScreenCentre(form->Button1());
    ASSERT_TRUE(SetCursorPos(disabled.x, disabled.y));
    Pump();
    EXPECT_EQ(form->StatusText(), "コメントアウトを除去");

    POINT topBar{5, 5};
    ClientToScreen(form->Panel2(), &topBar);
    topBar.x -= 30;
    ASSERT_TRUE(SetCursorPos(topBar.x, topBar.y));
    Pump();
    EXPECT_EQ(form->StatusText(), "");
}

// The application's tooltip window, or null.
HWND TooltipWindow() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0) return TRUE;
            *reinterpret_cast<HWND*>(result) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Moves the real pointer and lets the event loop run for a while.
void RestPointerOn(POINT point, int milliseconds) {
    SetCursorPos(point.x, point.y);
    for (int waited = 0; waited < milliseconds; waited += 20) {
        Application.ProcessMessages();
        Sleep(20);
    }
    Application.ProcessMessages();
}

TEST_F(MainWindow, TheTooltipShowsTheWholeHintOverEnabledAndDisabledButtonsAndGoesWhenThePointerLeaves) {
    const HWND tooltip = TooltipWindow();
    ASSERT_NE(tooltip, nullptr);
    ASSERT_FALSE(IsWindowEnabled(form->Button1()));
    struct Rest {
        HWND control;
        const char* hint;
    };
    for (const Rest& rest : {Rest{form->Button2(), "クリップボードからソースを貼り付け"},
                             Rest{form->Button1(), "コメントアウトを除去"}}) {
        RestPointerOn(ScreenCentre(rest.control), 900);
        EXPECT_TRUE(IsWindowVisible(tooltip)) << rest.hint;
        EXPECT_EQ(WindowText(tooltip), rest.hint);
        POINT topBar{5, 5};
        ClientToScreen(form->Panel2(), &topBar);
        topBar.x -= 30;
        RestPointerOn(topBar, 300);
        EXPECT_FALSE(IsWindowVisible(tooltip)) << rest.hint;
    }
}

TEST_F(MainWindow, TooltipsAreOnAndUseTheApplicationsDelays) {
    const HWND found = TooltipWindow();
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SendMessageA(found, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 500);
    EXPECT_EQ(SendMessageA(found, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 2500);
    EXPECT_EQ(SendMessageA(found, TTM_GETTOOLCOUNT, 0, 0), 6);
}

TEST_F(MainWindow, TabVisitsThePanesAndTheEnabledButtonsInOrder) {
    const std::vector<HWND> order = {form->Memo1(), form->Memo2(), form->Button2(), form->Button1(),
                                     form->Button3()};
    EXPECT_EQ(form->TabOrder(), order);

    SetFocus(form->Memo1());
    const std::vector<HWND> withDisabled = {form->Memo2(), form->Button2(), form->Memo1()};
    for (HWND expected : withDisabled) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), expected);
    }
    EnableWindow(form->Button1(), TRUE);
    EnableWindow(form->Button3(), TRUE);
    const std::vector<HWND> allEnabled = {form->Memo2(), form->Button2(), form->Button1(),
                                          form->Button3(), form->Memo1()};
    for (HWND expected : allEnabled) {
        PressKey(VK_TAB);
        EXPECT_EQ(GetFocus(), expected);
    }
    EXPECT_EQ(WindowText(form->Memo1()), "") << "Tab inserts nothing";
    EXPECT_EQ(WindowText(form->Memo2()), "");
}

TEST_F(MainWindow, AltRPressesTheRemovalButtonOnlyWhileItIsEnabled) {
    int clicks = 0;
    form->Bind(TMainForm1::Id::Button1, [&](HWND sender) {
        EXPECT_EQ(sender, form->Button1());
        ++clicks;
    });
    SetFocus(form->Memo1());
    const MSG altR{form->Memo1(), WM_SYSCHAR, 'r', 0x20000001, 0, {}};
    EXPECT_FALSE(form->PreTranslateMessage(altR));
    EnableWindow(form->Button1(), TRUE);
    EXPECT_TRUE(form->PreTranslateMessage(altR));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(WindowText(form->Button1()), "除去開始(&R)");
}

TEST_F(MainWindow, ButtonsStartWithTheirCaptionsFontsAndStates) {
    struct Expected {
        HWND button;
        const char* caption;
        int height;
        bool bold;
        bool enabled;
    };
    for (const Expected& e : {Expected{form->Button2(), "貼り付け", 11, false, true},
                              Expected{form->Button1(), "除去開始(&R)", 12, true, false},
                              Expected{form->Button3(), "コピー", 11, false, false}}) {
        LOGFONTA font{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(e.button, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_EQ(WindowText(e.button), e.caption);
        EXPECT_EQ(font.lfHeight, -e.height) << e.caption;
        EXPECT_EQ(font.lfWeight >= FW_BOLD, e.bold) << e.caption;
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
        EXPECT_STREQ(font.lfFaceName, "ＭＳ Ｐゴシック");
        EXPECT_EQ(IsWindowEnabled(e.button) != FALSE, e.enabled) << e.caption;
    }
}

TEST_F(MainWindow, PanesAreMultiLineWithBothScrollBarsAndHideTheSelectionWithoutFocus) {
    for (HWND memo : {form->Memo1(), form->Memo2()}) {
        SetWindowTextA(memo, "a\r\nb");
        const auto style = GetWindowLongPtrA(memo, GWL_STYLE);
        EXPECT_TRUE(style & ES_MULTILINE);
        EXPECT_TRUE(style & ES_WANTRETURN);
        EXPECT_TRUE(style & ES_AUTOHSCROLL) << "no word wrap";
        EXPECT_FALSE(style & ES_NOHIDESEL);
        EXPECT_FALSE(style & ES_READONLY);
        EXPECT_EQ(style & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
        EXPECT_EQ(SendMessageA(memo, EM_GETLINECOUNT, 0, 0), 2);
    }
}

TEST_F(MainWindow, EnterInTheInputPaneMakesALineBreak) {
    SetFocus(form->Memo1());
    PostMessageA(form->Memo1(), WM_CHAR, 'a', 1);
    PressKey(VK_RETURN);
    PostMessageA(form->Memo1(), WM_CHAR, 'b', 1);
    Pump();
    EXPECT_EQ(WindowText(form->Memo1()), "a\r\nb");
}

TEST_F(MainWindow, PanesTakeTextBeyondTheEditControlsDefaultLimit) {
    const std::string big(100000, 'x');
    SetWindowTextA(form->Memo1(), big.c_str());
    SendMessageA(form->Memo1(), EM_SETSEL, 100000, 100000);
    SendMessageA(form->Memo1(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("yz"));
    EXPECT_EQ(GetWindowTextLengthA(form->Memo1()), 100002);
    EXPECT_GE(static_cast<unsigned long>(SendMessageA(form->Memo2(), EM_GETLIMITTEXT, 0, 0)), 0x7FFFFFFEul);
}

TEST_F(MainWindow, TheInputPaneReportsEveryChangeToItsHandler) {
    std::vector<std::string> seen;
    form->Bind(TMainForm1::Id::Memo1, [&](HWND sender) { seen.push_back(WindowText(sender)); });
    SetFocus(form->Memo1());
    PostMessageA(form->Memo1(), WM_CHAR, 'q', 1);
    Pump();
    EXPECT_EQ(seen, std::vector<std::string>{"q"});
}

TEST_F(MainWindow, AnErrorFromAHandlerIsShownAndTheProgramGoesOn) {
    form->Bind(TMainForm1::Id::Button2, [](HWND) { throw Exception("貼り付けできません"); });
    SendMessageA(form->Button2(), BM_CLICK, 0, 0);
    Pump();
    ASSERT_EQ(errorTexts, std::vector<std::string>{"貼り付けできません."});
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_FALSE(Application.Terminated());
    // and the window still answers
    SetOuterWidth(1023);
    EXPECT_EQ(BoxOf(form->Memo1()).width, 502);
}

TEST_F(MainWindow, AnErrorFromTheResizeHandlerIsShownOnce) {
    form->Bind(TMainForm1::Id::Form, [](HWND) { throw 7; });
    SetOuterWidth(900);
    EXPECT_EQ(errorTexts, std::vector<std::string>{""});
    EXPECT_TRUE(IsWindow(form->Handle()));
}

TEST_F(MainWindow, EveryErrorThatEscapesOneEventIsShownInTurn) {
    form->Bind(TMainForm1::Id::Memo1, [](HWND) { throw Exception("inner"); });
    form->Bind(TMainForm1::Id::Button2, [this](HWND) {
        SendMessageA(form->Memo1(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("x"));
        throw Exception("outer");
    });
    PostMessageA(form->Button2(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(errorTexts, (std::vector<std::string>{"inner.", "outer."}));
}

TEST_F(MainWindow, AnErrorOfTheIdleWorkIsShownAndTheLoopGoesOn) {
    int checks = 0;
    form->SetHintCheck([&] {
        if (++checks > 1) return;
        PostMessageW(form->Handle(), WM_CLOSE, 0, 0);  // the loop's next event
        throw Exception("ヒントを表示できません");
    });
    Application.Run(SW_SHOWNORMAL);
    EXPECT_EQ(errorTexts, std::vector<std::string>{"ヒントを表示できません."});
    EXPECT_TRUE(Application.Terminated()) << "the loop went on to the close";
}

// As at 144 dpi on a 1280 x 1024 screen, where the window is 1536 x 900.
TEST_F(MainWindow, AWindowLargerThanItsWorkAreaShowsShrunkToItAndCentredThere) {
    SetWindowPos(form->Handle(), nullptr, 0, 0, 1536, 1000, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(form->Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    const Box before = BoxOf(form->Handle());
    ASSERT_GT(before.width, work.right - work.left);
    form->ShowFirst(SW_SHOWNORMAL);
    Pump();
    const int width = work.right - work.left;
    const int height = std::min(before.height, static_cast<int>(work.bottom - work.top));
    EXPECT_EQ(BoxOf(form->Handle()),
              (Box{work.left, work.top + (work.bottom - work.top - height) / 2, width, height}));
    EXPECT_EQ(BoxOf(form->Memo1()).width, HalfWidthRule(width));
}

TEST_F(MainWindow, ASizeWithoutTheGlobalWindowChangesNothing) {
    const int width = BoxOf(form->Memo1()).width;
    TMainForm1* const stored = std::exchange(MainForm1, nullptr);
    SetOuterWidth(900);
    MainForm1 = stored;
    EXPECT_EQ(BoxOf(form->Memo1()).width, width);
    EXPECT_TRUE(errorTexts.empty());
}

TEST_F(MainWindow, ClosingTheWindowEndsTheEventLoop) {
    const HWND window = form->Handle();
    PostMessageA(window, WM_CLOSE, 0, 0);
    Application.Run(SW_SHOWNORMAL);
    EXPECT_TRUE(Application.Terminated());
    EXPECT_FALSE(IsWindow(window));
}

}  // namespace
}  // namespace kezurin::testing
