#pragma once

#include <cstddef>
#include <string_view>

namespace kezurin {

// What a removal run needs of its host: the two texts, the output's lines,
// and the window's caption, repaint, beep and message box. Every call is made
// on the run's own thread and has done its work when it returns. A text that
// a call returns stays valid until the next call on the host.
class RemovalHost {
public:
    virtual ~RemovalHost() = default;

    virtual std::string_view GetInputText() = 0;
    virtual void SetOutputText(std::string_view text) = 0;

    // Lines of the output text, split at CR LF and numbered from 0; an empty
    // last line (the text ends with a line break, or is empty) is not counted.
    virtual std::size_t GetLineCount() = 0;
    virtual std::string_view GetLine(std::size_t index) = 0;
    // Replaces the text of one line, leaving its line break and every other
    // line alone; does nothing when there is no such line. Aliasing, a rule
    // for every host: `text` may be a view of any of the host's own lines,
    // this one included, so a host copies it before overwriting what it may
    // point into.
    virtual void PutLine(std::size_t index, std::string_view text) = 0;

    virtual void SetCaption(std::string_view caption) = 0;
    virtual void Repaint() = 0;
    virtual void Beep() = 0;
    virtual void ShowMessage(std::string_view text) = 0;
    // Called once after a run's completion caption, as its last call; not
    // after a failure. A host that defers its output hands it over here.
    virtual void RunFinished() {}
};

}  // namespace kezurin
