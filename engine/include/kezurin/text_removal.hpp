#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"
#include "kezurin/line_breaks.hpp"

namespace kezurin {

// Comment removal for a text that only passes through, such as a file on its
// way to another: the route of every caller that watches no captions (see
// RunRemoval for the two routes). Nothing is kept and no caption is set. The
// text may come in parts of whole lines, and the output goes to `sink` in
// pieces as it is made; a piece is valid only during its call.
class TextRemoval {
public:
    using Sink = std::function<void(std::string_view)>;
    // Told the bytes of input taken so far, after each part.
    using Progress = std::function<void(std::uint64_t bytesDone)>;

    TextRemoval(LineBreaks breaks, const CodePage& codePage, Sink sink);

    // Removes the comments of `lines`, whole lines each ending in its line break.
    void TakeLines(std::string_view lines);
    // The text's last line, which has no line break (it may be empty); ends the text.
    void Finish(std::string_view lastLine);
    // While the code page is still to be chosen: TakeLines for as long as
    // `other` would leave every line the same, stopping before the first it
    // would not; returns the bytes taken. The output is then that of either.
    std::size_t TakeLinesAlike(std::string_view lines, const CodePage& other);
    // Whether `other` would leave the last line, as Finish takes it, the same.
    bool LastLineAlike(std::string_view lastLine, const CodePage& other) const;
    // The code page for the lines from here on.
    void UseCodePage(const CodePage& codePage) { codePage_ = codePage; }
    void OnProgress(Progress progress) { progress_ = std::move(progress); }

private:
    void Taken(std::size_t bytes);

    LineBreaks breaks_;
    CodePage codePage_;
    Sink sink_;
    Progress progress_;
    std::uint64_t bytesDone_ = 0;
    bool InBlockComment_ = false;
    std::string scratch_;
    std::unique_ptr<char[]> gathered_;  // short pieces of the output, before the sink takes them
};

// The whole of `text` at once.
void RemoveComments(std::string_view text, LineBreaks breaks, const CodePage& codePage,
                    const TextRemoval::Sink& sink);

}  // namespace kezurin
