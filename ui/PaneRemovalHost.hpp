#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
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

// Shows the run's failure message, code-page-932 bytes (a modal box; tests record it).
using MessageDisplay = std::function<void(std::string_view text)>;

// Called before each allocation the host makes for a run: reading the input,
// splitting it, writing a line, handing the output to the pane, the completion
// caption. Throwing from it fails that allocation (tests do).
using AllocationCheck = std::function<void()>;

// How long each stage of the last run took, in milliseconds.
struct RunStages {
    double readInput = 0;    // the text of Memo1, to WTF-8
    double passes = 0;       // both passes over the lines in memory
    double joinOutput = 0;   // joining the lines into one text, to UTF-16
    double writeOutput = 0;  // handing that text to Memo2
    double placeCaret = 0;
    double caption = 0;      // every caption handed to the window
    double total = 0;
};

// The window's side of a removal run. The panes hold UTF-16; the run gets
// their text as WTF-8 (run it with CodePage{}: no lead bytes) and its output
// goes back as UTF-16. Writing each line into a visible edit control costs
// milliseconds under Wine (35 to 70 ms a line at 1,000 lines), so the output
// lines are kept in memory during the run and handed to the output pane in one
// piece when the run has finished (RunFinished), or before its failure
// message shows; the caption is handed to the window at most once per screen
// refresh, and the one set last before the beep shows when it sounds. The run
// still makes every call line by line. What the user sees afterwards is what
// writing line by line would have left: the text, the caret behind the line
// written last, and the last caption. All of it happens inside the run, so
// any failure of it is the run's own.
class PaneRemovalHost final : public RemovalHost {
public:
    PaneRemovalHost(RemovalPanes panes, MessageDisplay showMessage, AllocationCheck check = {},
                    RunStages* stages = nullptr);
    ~PaneRemovalHost() override;

    std::string_view GetInputText() override;
    void SetOutputText(std::string_view text) override;
    std::size_t GetLineCount() override { return output_ ? output_->GetLineCount() : 0; }
    std::string_view GetLine(std::size_t index) override { return Output().GetLine(index); }
    void PutLine(std::size_t index, std::string_view text) override;
    // Captions are the run's texts, in code page 932.
    void SetCaption(std::string_view caption) override;
    void Repaint() override;
    void Beep() override;
    // Shows whatever of the output the pane can take, then the message, which
    // shows even when the output cannot.
    void ShowMessage(std::string_view text) override;
    // Hands the output to the pane, then shows the completion caption.
    void RunFinished() override;

private:
    TextHost& Output();
    void Allocating() const {
        if (check_) check_();
    }
    void FlushOutput();
    void FlushCaption();

    RemovalPanes panes_;
    MessageDisplay showMessage_;
    AllocationCheck check_;
    RunStages ownStages_;
    RunStages& stages_;
    double started_;
    // The input as read from Memo1, in WTF-8, which the output's lines point
    // into: one copy of the text for both.
    std::optional<TextHost> output_;
    bool outputPending_ = false;
    bool anyLineWritten_ = false;
    std::size_t lastWritten_ = 0;
    std::string caption_;
    bool captionPending_ = false;
    bool repainted_ = false;
    double lastRepaint_ = 0;
};

}  // namespace kezurin
