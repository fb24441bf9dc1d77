#include "PaneRemovalHost.hpp"

#include <utility>

#include "clock.hpp"
#include "kezurin/removal_run.hpp"
#include "win_handles.hpp"

namespace kezurin {
namespace {

// About one screen refresh, in milliseconds: the caption is not handed over more often.
constexpr double kRepaintInterval = 16;

// The position in an edit control of a byte offset into its text. An ANSI
// edit control counts bytes; one that keeps its text in UTF-16 (Wine's)
// counts UTF-16 units even for ANSI messages. The control's own length tells.
std::size_t EditPosition(HWND edit, std::string_view text, std::size_t byteOffset) {
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (end == text.size() || byteOffset == 0) return byteOffset;
    return static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(byteOffset), nullptr, 0));
}

// Adds the time from its construction to its end to a stage.
class StageTimer {
public:
    explicit StageTimer(double& stage) : stage_(stage), start_(Milliseconds()) {}
    StageTimer(const StageTimer&) = delete;
    StageTimer& operator=(const StageTimer&) = delete;
    ~StageTimer() { stage_ += Milliseconds() - start_; }

private:
    double& stage_;
    double start_;
};

}  // namespace

PaneRemovalHost::PaneRemovalHost(RemovalPanes panes, MessageDisplay showMessage,
                                 AllocationCheck check, RunStages* stages)
    : panes_(panes),
      showMessage_(std::move(showMessage)),
      check_(std::move(check)),
      stages_(stages ? *stages : ownStages_),
      started_(Milliseconds()) {
    stages_ = {};
}

PaneRemovalHost::~PaneRemovalHost() {
    stages_.total = Milliseconds() - started_;
    stages_.passes = stages_.total - stages_.readInput - stages_.joinOutput - stages_.writeOutput -
                     stages_.placeCaret - stages_.caption;
}

TextHost& PaneRemovalHost::Output() {
    if (!output_) output_.emplace(std::string());
    return *output_;
}

std::string_view PaneRemovalHost::GetInputText() {
    StageTimer timer(stages_.readInput);
    Allocating();
    output_.reset();
    output_.emplace(WindowText(panes_.input));
    return output_->GetInputText();
}

// The usual text is the input itself, which the lines then point into: no copy.
void PaneRemovalHost::SetOutputText(std::string_view text) {
    Allocating();
    Output().SetOutputText(text);
    outputPending_ = true;
    anyLineWritten_ = false;
}

void PaneRemovalHost::PutLine(std::size_t index, std::string_view text) {
    if (index >= GetLineCount()) return;
    Allocating();
    output_->PutLine(index, text);
    outputPending_ = true;
    anyLineWritten_ = true;
    lastWritten_ = index;
}

// The completion caption comes last in a run: the output is handed over first.
void PaneRemovalHost::SetCaption(std::string_view caption) {
    const bool finished = caption == kFinishedCaption;
    if (finished) {
        FlushOutput();
        Allocating();
    }
    caption_.assign(caption);
    captionPending_ = true;
    if (finished) {
        FlushCaption();
        UpdateWindow(panes_.form);
    }
}

void PaneRemovalHost::Repaint() {
    const double now = Milliseconds();
    if (repainted_ && now - lastRepaint_ < kRepaintInterval) return;
    repainted_ = true;
    lastRepaint_ = now;
    FlushCaption();
    UpdateWindow(panes_.form);
}

void PaneRemovalHost::ShowMessage(std::string_view text) {
    try {
        FlushOutput();
    } catch (...) {
        // The pane keeps what it showed; the message matters more.
    }
    FlushCaption();
    UpdateWindow(panes_.form);
    if (showMessage_) showMessage_(text);
}

// Joins the lines into the one text the pane takes, and lets the lines and
// the input go before the pane makes its own copy: at most two copies of the
// text live at once.
void PaneRemovalHost::FlushOutput() {
    if (!outputPending_ || !output_) return;
    std::string text;
    std::size_t caret = 0;
    {
        StageTimer timer(stages_.joinOutput);
        Allocating();
        text = output_->OutputText();
        if (anyLineWritten_) caret = CaretOffset();
        outputPending_ = false;
        output_.reset();
    }
    {
        StageTimer timer(stages_.writeOutput);
        SetWindowTextA(panes_.output, text.c_str());
    }
    if (!anyLineWritten_) return;
    StageTimer timer(stages_.placeCaret);
    const auto position = static_cast<WPARAM>(EditPosition(panes_.output, text, caret));
    SendMessageA(panes_.output, EM_SETSEL, position, static_cast<LPARAM>(position));
    SendMessageA(panes_.output, EM_SCROLLCARET, 0, 0);
}

void PaneRemovalHost::FlushCaption() {
    if (!captionPending_) return;
    StageTimer timer(stages_.caption);
    captionPending_ = false;
    SetWindowTextA(panes_.form, caption_.c_str());
}

// Byte offset of the end of the line written last: every line before it is
// followed by its CR LF.
std::size_t PaneRemovalHost::CaretOffset() {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < lastWritten_; ++i) offset += output_->GetLine(i).size() + 2;
    return offset + output_->GetLine(lastWritten_).size();
}

}  // namespace kezurin
