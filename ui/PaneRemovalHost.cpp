#include "PaneRemovalHost.hpp"

#include <utility>

#include "clock.hpp"
#include "wide_text.hpp"
#include "wtf8.hpp"

namespace kezurin {
namespace {

// About one screen refresh, in milliseconds: the caption is not handed over more often.
constexpr double kRepaintInterval = 16;

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
    output_.emplace(Wtf8FromUtf16(std::wstring_view(WideWindowText(panes_.input))));
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

void PaneRemovalHost::SetCaption(std::string_view caption) {
    caption_.assign(caption);
    captionPending_ = true;
}

// The completion caption shows only once the output is in the pane: a failure
// to hand it over leaves the progress caption that the beep came with.
void PaneRemovalHost::RunFinished() {
    const bool completionPending = std::exchange(captionPending_, false);
    FlushOutput();
    Allocating();
    captionPending_ = completionPending;
    FlushCaption();
    UpdateWindow(panes_.form);
}

void PaneRemovalHost::Repaint() {
    const double now = Milliseconds();
    if (repainted_ && now - lastRepaint_ < kRepaintInterval) return;
    repainted_ = true;
    lastRepaint_ = now;
    FlushCaption();
    UpdateWindow(panes_.form);
}

// Before the completion caption, or the failure message: the caption set last shows.
void PaneRemovalHost::Beep() {
    FlushCaption();
    MessageBeep(0);
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

// Joins the lines into the one UTF-16 text the pane takes, and lets the lines
// and the input go before the pane makes its own copy; until the text is made
// they stay, for the hand-over that ShowMessage tries again.
void PaneRemovalHost::FlushOutput() {
    if (!outputPending_ || !output_) return;
    std::wstring text;
    std::size_t caret = 0;
    {
        StageTimer timer(stages_.joinOutput);
        Allocating();
        const std::string joined = output_->OutputText();
        if (anyLineWritten_) caret = Utf16Length(joined, output_->LineEndOffset(lastWritten_));
        text = Utf16FromWtf8<wchar_t>(joined);
        outputPending_ = false;
        output_.reset();
    }
    {
        StageTimer timer(stages_.writeOutput);
        SetWindowTextW(panes_.output, text.c_str());
    }
    if (!anyLineWritten_) return;
    StageTimer timer(stages_.placeCaret);
    SendMessageW(panes_.output, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageW(panes_.output, EM_SCROLLCARET, 0, 0);
}

void PaneRemovalHost::FlushCaption() {
    if (!captionPending_) return;
    StageTimer timer(stages_.caption);
    captionPending_ = false;
    const WideText caption(caption_);
    SetWindowTextW(panes_.form, caption.c_str());
}

}  // namespace kezurin
