#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands_fixture.hpp"
#include "message_box_watch.hpp"
#include "kezurin/removal_run.hpp"
#include "source_generator.hpp"

namespace kezurin::testing {
namespace {

// "ケズリン - 除去終了" in code page 932.
const std::string kFinished = "\x83\x50\x83\x59\x83\x8A\x83\x93 - \x8F\x9C\x8B\x8E\x8F\x49\x97\xB9";

// Passes every call on to another host; notes the line written last and can
// fail at a chosen line read.
class ObservedHost final : public RemovalHost {
public:
    static constexpr std::size_t kNever = static_cast<std::size_t>(-1);

    ObservedHost(RemovalHost& inner, std::size_t failingRead = kNever)
        : inner_(inner), failingRead_(failingRead) {}

    std::string_view GetInputText() override { return inner_.GetInputText(); }
    void SetOutputText(std::string_view text) override { inner_.SetOutputText(text); }
    std::size_t GetLineCount() override { return inner_.GetLineCount(); }
    std::string_view GetLine(std::size_t index) override {
        if (reads_++ == failingRead_) throw std::runtime_error("read failed");
        return inner_.GetLine(index);
    }
    void PutLine(std::size_t index, std::string_view text) override {
        if (index < inner_.GetLineCount()) lastWritten = index;
        inner_.PutLine(index, text);
    }
    void SetCaption(std::string_view caption) override { inner_.SetCaption(caption); }
    void Repaint() override {
        if (slowLines) Sleep(20);  // a line slower than a screen refresh
        inner_.Repaint();
        if (form) shownCaptions.push_back(WindowText(form));
    }
    void Beep() override { inner_.Beep(); }
    void ShowMessage(std::string_view text) override { inner_.ShowMessage(text); }
    void RunFinished() override { inner_.RunFinished(); }

    std::size_t lastWritten = kNever;
    bool slowLines = false;
    HWND form = nullptr;                     // its caption is noted after every repaint
    std::vector<std::string> shownCaptions;

private:
    RemovalHost& inner_;
    std::size_t failingRead_;
    std::size_t reads_ = 0;
};

// Byte offset of the end of line `index` of a CR LF text.
std::size_t EndOfLine(const std::string& text, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < index; ++i) start = text.find("\r\n", start) + 2;
    const std::size_t end = text.find("\r\n", start);
    return end == std::string::npos ? text.size() : end;
}

struct RunCase {
    const char* name;
    std::string input;
};

class RemovalThroughTheWindow : public CommandTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RemovalThroughTheWindow, LeavesWhatTheInMemoryHostLeavesWithTheCaretAfterTheLastLineWritten) {
    const std::string& input = GetParam().input;
    TextHost memory(input);
    ObservedHost observed(memory);
    RunRemoval(observed);

    SetInput(input);
    ASSERT_EQ(WindowText(form->Memo1()), input);
    if (input.empty()) {
        form->Button1Click(form->Button1());  // the button is disabled then
    } else {
        Click(form->Button1());
    }

    const std::string output = WindowText(form->Memo2());
    EXPECT_EQ(output, memory.OutputText());
    EXPECT_EQ(WindowText(form->Handle()), kFinished);
    const std::size_t caret =
        observed.lastWritten == ObservedHost::kNever ? 0 : EndOfLine(output, observed.lastWritten);
    // The caret, whatever unit the pane counts positions in: a typed letter lands there.
    Type(form->Memo2(), 'Q');
    std::string typed = output;
    typed.insert(typed.begin() + static_cast<std::ptrdiff_t>(caret), 'Q');
    EXPECT_EQ(WindowText(form->Memo2()), typed);
    EXPECT_EQ(WindowText(form->Memo1()), input);
    EXPECT_EQ(RemovalEnabled(), !input.empty());
    EXPECT_TRUE(messages.empty());
}

std::string LongLine() {
    std::string line = "int a = 1; /* open */ ";
    while (line.size() < 10'000 - 12) line += "x";
    return line + " // the end";  // the comment starts far behind byte 4096
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RemovalThroughTheWindow,
    ::testing::Values(
        RunCase{"Empty", ""},
        RunCase{"ThreeLines", "int a; // one\r\nint b;\r\n/* c */ int d;"},
        RunCase{"TrailingLineBreak", "a\r\n"},
        RunCase{"FourLineBlockComment",
                "int a; /* first\r\n   middle\r\n\r\n   last */ int b; // tail\r\n"},
        RunCase{"LastLineEmptied", "a = 1;\r\n// last"},
        RunCase{"OpenCommentThenLineComment", "/* a\r\n// b"},
        RunCase{"TenThousandByteLine", LongLine() + "\r\nnext; // n\r\n"},
        RunCase{"ShiftJis",
                "// 表示する\r\nx = \"ソ\"; /* 能力 */ y = 1; // 予定\r\n/* ｢半角｣\r\n  ～ */ z;\r\n"},
        RunCase{"LoneLineFeedStaysInItsLine", "a // x\nb\r\nc /* y */\n d"},
        RunCase{"OnlyLineBreaks", "\r\n\r\n\r\n"}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(CommandTest, ARunCanBeRepeatedWithTheSameResult) {
    SetInput("int a; /* b */ c; // d\r\n");
    Click(form->Button1());
    const std::string first = WindowText(form->Memo2());
    Click(form->Button1());
    EXPECT_EQ(WindowText(form->Memo2()), first);
    EXPECT_EQ(first, RemovedInMemory("int a; /* b */ c; // d\r\n"));
}

TEST_F(CommandTest, APastedTwoMegabyteSourceIsTakenWholeAndRunWhole) {
    const std::string input = bench::GenerateSource(2'000'000);
    ASSERT_TRUE(PutOnClipboard(input));
    Click(form->Button2());
    ASSERT_EQ(WindowText(form->Memo1()), input);
    Click(form->Button1());
    EXPECT_EQ(WindowText(form->Memo2()), RemovedInMemory(input));
    EXPECT_EQ(WindowText(form->Handle()), kFinished);
}

// --- A run that fails ----------------------------------------------------------

struct FailureCase {
    const char* name;
    std::size_t failingRead;   // counted over both passes
    std::string captionAfter;  // the last caption set, or the title
};

class FailingRun : public CommandTest, public ::testing::WithParamInterface<FailureCase> {};

// Eight lines whose two passes give different results.
const std::string kEightLines = [] {
    std::string text;
    for (char digit = '0'; digit < '8'; ++digit) {
        text += 'x';
        text += digit;
        text += " /* b */ y; // z\r\n";
    }
    return text;
}();

TEST_P(FailingRun, KeepsThePartialResultAndShowsTheMessageOverIt) {
    TextHost memory(kEightLines);
    ObservedHost failingInMemory(memory, GetParam().failingRead);
    RunRemoval(failingInMemory);

    SetInput(kEightLines);
    PaneRemovalHost panes = form->MakeRemovalHost();
    ObservedHost failing(panes, GetParam().failingRead);
    RunRemoval(failing, kShiftJis);

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "除去処理に失敗しました。");
    EXPECT_EQ(messages[0].outputThen, memory.OutputText());
    EXPECT_EQ(messages[0].captionThen, GetParam().captionAfter);
    EXPECT_EQ(WindowText(form->Memo2()), memory.OutputText());
    EXPECT_EQ(WindowText(form->Handle()), GetParam().captionAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailingRun,
    ::testing::Values(
        FailureCase{"BeforeTheFirstLine", 0, "ケズリン"},
        FailureCase{"InPassOneOnLine3", 3, "ケズリン - 2行目 コメントアウト｢//～｣除去中..."},
        FailureCase{"InPassTwoOnLine5", 8 + 5, "ケズリン - 4行目 コメントアウト｢/*～*/｣除去中..."}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(CommandTest, AFailureInPassTwoLeavesPassTwoResultsBeforeItAndPassOneResultsFromIt) {
    TextHost whole(kEightLines);
    RunRemoval(whole);
    SetInput(kEightLines);
    PaneRemovalHost panes = form->MakeRemovalHost();
    ObservedHost failing(panes, 8 + 5);
    RunRemoval(failing, kShiftJis);
    const std::string output = WindowText(form->Memo2());
    for (std::size_t line = 0; line < 8; ++line) {
        const std::size_t start = line == 0 ? 0 : EndOfLine(output, line - 1) + 2;
        const std::string text = output.substr(start, EndOfLine(output, line) - start);
        if (line < 5) {
            EXPECT_EQ(text, whole.GetLine(line)) << line;
        } else {
            std::string passOne = "x0 /* b */ y; ";
            passOne[1] = static_cast<char>('0' + line);
            EXPECT_EQ(text, passOne) << line;
        }
    }
}

// --- Progress and the message box -----------------------------------------------

std::string Progress(std::string_view pass, int line) {
    return std::string(kCaptionPrefix) + std::to_string(line) + std::string(pass);
}

TEST_F(CommandTest, TheProgressCaptionShowsAtOnceAndAfterEveryLineSlowerThanARefresh) {
    SetInput("a; // 1\r\nb; /* 2 */\r\nc;");
    PaneRemovalHost panes = form->MakeRemovalHost();
    ObservedHost slow(panes);
    slow.form = form->Handle();
    slow.slowLines = true;
    RunRemoval(slow, kShiftJis);
    const std::vector<std::string> expected = {
        Progress(kLineCommentProgress, 0),  Progress(kLineCommentProgress, 1),
        Progress(kLineCommentProgress, 2),  Progress(kBlockCommentProgress, 0),
        Progress(kBlockCommentProgress, 1), Progress(kBlockCommentProgress, 2)};
    EXPECT_EQ(slow.shownCaptions, expected);
    EXPECT_EQ(WindowText(form->Handle()), kFinished);
}

TEST_F(CommandTest, TheFirstProgressCaptionShowsAtOnceOnAFastRun) {
    SetInput("a;\r\nb;\r\nc;");
    PaneRemovalHost panes = form->MakeRemovalHost();
    ObservedHost fast(panes);
    fast.form = form->Handle();
    RunRemoval(fast, kShiftJis);
    ASSERT_EQ(fast.shownCaptions.size(), 6u);
    EXPECT_EQ(fast.shownCaptions[0], Progress(kLineCommentProgress, 0));
    EXPECT_EQ(WindowText(form->Handle()), kFinished);
}

// --- Exhausted memory in the window's own work ----------------------------------

// A run of three lines allocates: 1 reading the input, 2 splitting it, 3 to 5
// writing the lines of pass 1, 6 to 8 those of pass 2, 9 handing the output
// to the pane, 10 the completion caption. From the failing one on, every
// allocation of the run fails, the retried hand-over before the message too.
struct AllocationFailure {
    const char* name;
    int failingAllocation;
    std::string captionAfter;
    bool outputShown;
};

class ExhaustedMemory : public CommandTest, public ::testing::WithParamInterface<AllocationFailure> {};

TEST_P(ExhaustedMemory, ShowsTheMessageKeepsTheLastCaptionAndTheNextRunWorks) {
    const std::string input = "a; // 1\r\nb; /* 2 */\r\nc;";
    SetInput(input);
    int allocations = 0;
    form->SetRunAllocationCheck([&] {
        if (++allocations >= GetParam().failingAllocation) throw std::bad_alloc();
    });
    Click(form->Button1());

    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "除去処理に失敗しました。");
    EXPECT_EQ(messages[0].captionThen, GetParam().captionAfter);
    EXPECT_EQ(WindowText(form->Memo2()), GetParam().outputShown ? RemovedInMemory(input) : "");
    EXPECT_EQ(WindowText(form->Handle()), GetParam().captionAfter);
    EXPECT_TRUE(errorTexts.empty());

    form->SetRunAllocationCheck(nullptr);
    Click(form->Button1());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(WindowText(form->Memo2()), RemovedInMemory(input));
    EXPECT_EQ(WindowText(form->Handle()), kFinished);
    EXPECT_TRUE(errorTexts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Allocations, ExhaustedMemory,
    ::testing::Values(
        AllocationFailure{"AtTheStart", 1, "ケズリン", false},
        AllocationFailure{"InPassOne", 4, "ケズリン - 0行目 コメントアウト｢//～｣除去中...", false},
        AllocationFailure{"InPassTwo", 7, "ケズリン - 0行目 コメントアウト｢/*～*/｣除去中...", false},
        AllocationFailure{"HandingOverTheOutput", 9, "ケズリン - 2行目 コメントアウト｢/*～*/｣除去中...", false},
        AllocationFailure{"AtCompletion", 10, "ケズリン - 2行目 コメントアウト｢/*～*/｣除去中...", true}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(CommandTest, TheFailureMessageIsAModalBoxCentredOnTheScreenOverTheResult) {
    form->SetMessageDisplay(nullptr);
    SetInput(kEightLines);
    PaneRemovalHost panes = form->MakeRemovalHost();
    ObservedHost failing(panes, 8 + 5);
    const SeenBox seen = CloseTheMessageBoxOf([&] { RunRemoval(failing, kShiftJis); });
    EXPECT_EQ(seen.caption, "ケズリン");
    EXPECT_EQ(seen.text, "除去処理に失敗しました。");
    EXPECT_EQ(seen.owner, form->Handle());
    const int width = seen.rect.right - seen.rect.left;
    const int height = seen.rect.bottom - seen.rect.top;
    EXPECT_GT(width, 0);
    EXPECT_EQ(seen.rect.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(seen.rect.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
}

}  // namespace
}  // namespace kezurin::testing
