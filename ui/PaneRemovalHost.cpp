#include "PaneRemovalHost.hpp"
#include "win_handles.hpp"

#include <utility>

namespace kezurin {
namespace {

// About one screen refresh, in milliseconds: the caption is not handed over more often.
constexpr LONGLONG kRepaintInterval = 16;

// Milliseconds on a steady clock finer than the system tick (15.6 ms).
LONGLONG NowMilliseconds() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return now.QuadPart / (frequency.QuadPart / 1000);
}

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

}  // namespace

PaneRemovalHost::PaneRemovalHost(RemovalPanes panes, MessageDisplay showMessage)
    : panes_(panes), showMessage_(std::move(showMessage)) {}

std::string_view PaneRemovalHost::GetInputText() {
    input_ = WindowText(panes_.input);
    return input_;
}

void PaneRemovalHost::SetOutputText(std::string_view text) {
    output_.SetOutputText(text);
    outputPending_ = true;
    anyLineWritten_ = false;
}

void PaneRemovalHost::PutLine(std::size_t index, std::string_view text) {
    if (index >= output_.GetLineCount()) return;
    output_.PutLine(index, text);
    outputPending_ = true;
    anyLineWritten_ = true;
    lastWritten_ = index;
}

void PaneRemovalHost::SetCaption(std::string_view caption) {
    caption_.assign(caption);
    captionPending_ = true;
}

void PaneRemovalHost::Repaint() {
    const LONGLONG now = NowMilliseconds();
    if (repainted_ && now - lastRepaint_ < kRepaintInterval) return;
    repainted_ = true;
    lastRepaint_ = now;
    FlushCaption();
    UpdateWindow(panes_.form);
}

void PaneRemovalHost::ShowMessage(std::string_view text) {
    Flush();
    if (showMessage_) showMessage_(std::string(text));
}

void PaneRemovalHost::Flush() {
    FlushOutput();
    FlushCaption();
    UpdateWindow(panes_.form);
}

void PaneRemovalHost::FlushOutput() {
    if (!outputPending_) return;
    outputPending_ = false;
    const std::string text = output_.OutputText();
    SetWindowTextA(panes_.output, text.c_str());
    if (!anyLineWritten_) return;
    const auto caret = static_cast<WPARAM>(EditPosition(panes_.output, text, CaretOffset()));
    SendMessageA(panes_.output, EM_SETSEL, caret, static_cast<LPARAM>(caret));
    SendMessageA(panes_.output, EM_SCROLLCARET, 0, 0);
}

void PaneRemovalHost::FlushCaption() {
    if (!captionPending_) return;
    captionPending_ = false;
    SetWindowTextA(panes_.form, caption_.c_str());
}

// Byte offset of the end of the line written last: every line before it is
// followed by its CR LF.
std::size_t PaneRemovalHost::CaretOffset() {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < lastWritten_; ++i) offset += output_.GetLine(i).size() + 2;
    return offset + output_.GetLine(lastWritten_).size();
}

}  // namespace kezurin
