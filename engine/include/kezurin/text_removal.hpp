#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"
#include "kezurin/text_host.hpp"  // LineBreaks

namespace kezurin {

// Where the whole lines of `text` end: just after its last line break, or 0.
std::size_t WholeLinesEnd(std::string_view text, LineBreaks breaks);

// Comment removal for a text that only passes through, such as a file on its
// way to another: the output is the one a removal run over a TextHost holding
// the whole text gives, but nothing is kept and no progress is reported. The
// text may come in parts of whole lines, and the output goes to `sink` in
// pieces as it is made; a piece is valid only during its call.
class TextRemoval {
public:
    using Sink = std::function<void(std::string_view)>;

    TextRemoval(LineBreaks breaks, const CodePage& codePage, Sink sink);

    // Removes the comments of `lines`, whole lines each ending in its line break.
    void TakeLines(std::string_view lines);
    // The text's last line, which has no line break (it may be empty); ends the text.
    void Finish(std::string_view lastLine);
    // The code page for the lines from here on.
    void UseCodePage(const CodePage& codePage) { codePage_ = codePage; }

private:
    LineBreaks breaks_;
    CodePage codePage_;
    Sink sink_;
    bool InBlockComment_ = false;
    std::string scratch_;
    std::unique_ptr<char[]> gathered_;  // short pieces of the output, before the sink takes them
};

// The whole of `text` at once.
void RemoveComments(std::string_view text, LineBreaks breaks, const CodePage& codePage,
                    const TextRemoval::Sink& sink);

}  // namespace kezurin
