#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "application.hpp"
#include "window_fixture.hpp"

namespace kezurin {
namespace {

struct TextCase {
    const char* name;
    std::string message;
    std::string shown;
};

class ErrorBoxTextRule : public ::testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxTextRule, AppendsAFullStopWhenTheLastCharacterSortsAfterIt) {
    EXPECT_EQ(ErrorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxTextRule,
    ::testing::Values(
        TextCase{"Empty", "", ""},
        TextCase{"Letter", "Access violation", "Access violation."},
        TextCase{"Digit", "code 5", "code 5."},
        TextCase{"FullStop", "Done.", "Done."},
        TextCase{"Exclamation", "Stop!", "Stop!"},
        TextCase{"Space", "trailing ", "trailing "},
        TextCase{"Hyphen", "a-", "a-"},           // 0x2D sorts below "."
        TextCase{"Slash", "a/", "a/."},           // 0x2F sorts after it
        // 。 is 0x81 0x42 in code page 932: a double-byte character, after "."
        TextCase{"JapaneseFullStop", "\x8F\x49\x97\xB9\x81\x42", "\x8F\x49\x97\xB9\x81\x42."},
        TextCase{"Kanji", "失敗", "失敗."},
        // ソ ends in the byte of "\"; its lead byte decides
        TextCase{"TrailByteIsBackslash", "\x83\x5C", "\x83\x5C."},
        TextCase{"HalfWidthKatakana", "\xB1", "\xB1."},
        TextCase{"HighByteOnItsOwn", "x\xFF", "x\xFF."}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ErrorBoxText, ReadsTheLastCharacterInTheGivenCodePage) {
    // 0x81 leads a double-byte character in code page 932 only: there "!"
    // is its second byte, elsewhere a character below "." of its own.
    EXPECT_EQ(ErrorBoxText("\x81!", kShiftJis), "\x81!.");
    EXPECT_EQ(ErrorBoxText("\x81!", CodePage()), "\x81!");
}

TEST(ErrorBoxText, PinsTheBytesOfAJapaneseMessage) {
    // 除去処理に失敗しました。 + "."
    EXPECT_EQ(ErrorBoxText("除去処理に失敗しました。"),
              "\x8F\x9C\x8B\x8E\x8F\x88\x97\x9D\x82\xC9\x8E\xB8\x94\x73\x82\xB5\x82\xDC\x82\xB5\x82\xBD"
              "\x81\x42.");
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        Application.SetErrorBox([this](const std::string& text) { shown.push_back(text); });
    }
    void TearDown() override { Application.SetErrorBox(nullptr); }
    std::vector<std::string> shown;
};

TEST_F(StartUp, AnErrorObjectAtStartUpIsShownAndTheExitStatusIs0) {
    const int status = RunProgram(Application, [] { throw Exception("起動できません"); });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(shown, std::vector<std::string>{"起動できません."});
    EXPECT_EQ(MainForm1, nullptr);
}

TEST_F(StartUp, AnythingElseThrownAtStartUpGivesAnEmptyBox) {
    const int status = RunProgram(Application, [] { throw 42; });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(shown, std::vector<std::string>{""});
}

TEST_F(StartUp, SetsTheTitleBeforeCreatingTheWindowWhichSeesItselfInMainForm1) {
    bool sawItself = false;
    const int status = RunProgram(Application, [&] {
        TMainForm1& form = Application.CreateMainForm();
        sawItself = MainForm1 == &form && Application.Title() == "ケズリン";
        PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(sawItself);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(MainForm1, nullptr) << "destroyed after the loop";
}

// The program itself, started as the user starts it.
class Program : public ::testing::Test {
protected:
    struct Found {
        DWORD process;
        bool shown;
        HWND window;
    };

    static std::string ProgramPath() {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string program(path);
        program.resize(program.find_last_of("\\/") + 1);
        program.append("kezurin.exe");
        return program;
    }

    // Starts the program and finds its main window (a minimised one is hidden with its owner).
    void Start(WORD showCommand, bool shown = true) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = showCommand;
        std::string command = ProgramPath();
        command.insert(command.begin(), '"');
        command.push_back('"');
        ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process_));
        CloseHandle(process_.hThread);
        WaitForInputIdle(process_.hProcess, 30000);
        for (int tries = 0; tries < 300 && !window_; ++tries) {
            Found found{process_.dwProcessId, shown, nullptr};
            EnumWindows(
                [](HWND window, LPARAM param) -> BOOL {
                    auto* f = reinterpret_cast<Found*>(param);
                    DWORD owner = 0;
                    GetWindowThreadProcessId(window, &owner);
                    char name[32] = {};
                    GetClassNameA(window, name, sizeof name);
                    if (owner != f->process || lstrcmpA(name, "TMainForm1") != 0 ||
                        (f->shown && !IsWindowVisible(window))) {
                        return TRUE;
                    }
                    f->window = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&found));
            window_ = found.window;
            if (!window_) Sleep(100);
        }
        ASSERT_NE(window_, nullptr) << "the window did not appear";
    }

    DWORD CloseAndWait() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(process_.hProcess, 30000), WAIT_OBJECT_0);
        DWORD status = 1234;
        GetExitCodeProcess(process_.hProcess, &status);
        return status;
    }

    void TearDown() override {
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process_.hProcess, 1);
            }
            CloseHandle(process_.hProcess);
        }
    }

    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

TEST_F(Program, ShowsItsCentredWindowAndEndsWithStatus0WhenClosed) {
    Start(SW_SHOWNORMAL);
    EXPECT_EQ(WindowText(window_), "ケズリン");
    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_EQ(rect.left, std::max(0, (GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1024) / 2));
    EXPECT_EQ(rect.right - rect.left, 1024);
    EXPECT_FALSE(IsZoomed(window_));
    EXPECT_EQ(CloseAndWait(), 0u);
}

TEST_F(Program, StartsMaximisedWhenAskedToWithMemo1AtHalfTheWidthMinus9) {
    Start(SW_SHOWMAXIMIZED);
    EXPECT_TRUE(IsZoomed(window_));
    RECT rect;
    GetWindowRect(window_, &rect);
    // The input pane is the leftmost edit control.
    HWND memo1 = nullptr;
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM param) -> BOOL {
            char name[16] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Edit") == 0) {
                *reinterpret_cast<HWND*>(param) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&memo1));
    ASSERT_NE(memo1, nullptr);
    RECT memo;
    GetWindowRect(memo1, &memo);
    EXPECT_EQ(memo.right - memo.left, (rect.right - rect.left) / 2 - 9);
    EXPECT_EQ(CloseAndWait(), 0u);
}

TEST_F(Program, StartsMinimisedWithoutTakingTheFocusWhenAskedTo) {
    Start(SW_SHOWMINNOACTIVE, false);
    Sleep(500);  // time to take the focus, which it must not
    EXPECT_TRUE(IsIconic(GetWindow(window_, GW_OWNER))) << "the taskbar entry is minimised";
    DWORD foregroundProcess = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &foregroundProcess);
    EXPECT_NE(foregroundProcess, process_.dwProcessId);
    EXPECT_EQ(CloseAndWait(), 0u);
}

}  // namespace
}  // namespace kezurin
