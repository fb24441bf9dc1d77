#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "kezurin/removal_host.hpp"
#include "kezurin/text_host.hpp"

namespace kezurin {

// The controls a removal run works on.
struct RemovalPanes {
    HWND form;    // its caption shows the progress
    HWND input;   // Memo1
    HWND output;  // Memo2
};

// Shows the run's failure message (a modal box; tests record it).
using MessageDisplay = std::function<void(const std::string& text)>;

// The window's side of a removal run. Writing each line into a visible edit
// control costs milliseconds, so the output lines are kept in memory during
// the run and handed to the output pane in one piece when the run ends or
// before its failure message shows; the caption is handed to the window at
// most once per screen refresh. What the user sees afterwards is what writing
// line by line would have left: the text, the caret behind the line written
// last, and the last caption.
class PaneRemovalHost final : public RemovalHost {
public:
    PaneRemovalHost(RemovalPanes panes, MessageDisplay showMessage);

    std::string_view GetInputText() override;
    void SetOutputText(std::string_view text) override;
    std::size_t GetLineCount() override { return output_.GetLineCount(); }
    std::string_view GetLine(std::size_t index) override { return output_.GetLine(index); }
    void PutLine(std::size_t index, std::string_view text) override;
    void SetCaption(std::string_view caption) override;
    void Repaint() override;
    void Beep() override { MessageBeep(0); }
    void ShowMessage(std::string_view text) override;

    // Hands whatever the window does not show yet to it: the output text with
    // the caret, the last caption. Call when the run has returned.
    void Flush();

private:
    void FlushOutput();
    void FlushCaption();
    std::size_t CaretOffset();

    RemovalPanes panes_;
    MessageDisplay showMessage_;
    std::string input_;
    TextHost output_{std::string()};
    bool outputPending_ = false;
    bool anyLineWritten_ = false;
    std::size_t lastWritten_ = 0;
    std::string caption_;
    bool captionPending_ = false;
    bool repainted_ = false;
    LONGLONG lastRepaint_ = 0;
};

}  // namespace kezurin
