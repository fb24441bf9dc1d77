#include "kezurin/removal_run.hpp"

#include <charconv>
#include <string>

#include "block_comments.hpp"
#include "line_comment.hpp"

namespace kezurin {
namespace {

// "ケズリン - <line>行目 ..." for one pass, built in `caption`, whose memory
// serves every line.
std::string_view ProgressCaption(std::string& caption, std::string_view progress, std::size_t line) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, line).ptr;
    caption.assign(kCaptionPrefix).append(digits, end).append(progress);
    return caption;
}

void RunPasses(RemovalHost& host, const CodePage& codePage) {
    host.SetOutputText(host.GetInputText());
    std::string caption;
    for (std::size_t i = 0; i < host.GetLineCount(); ++i) {
        host.PutLine(i, RemoveLineComment(host.GetLine(i), codePage));
        host.SetCaption(ProgressCaption(caption, kLineCommentProgress, i));
        host.Repaint();
    }
    bool InBlockComment = false;
    std::string scratch;
    std::string joined;
    for (std::size_t j = 0; j < host.GetLineCount(); ++j) {
        const LinePieces cut = RemoveBlockComments(host.GetLine(j), InBlockComment, scratch, codePage);
        host.PutLine(j, cut.back.empty() ? cut.front : joined.assign(cut.front).append(cut.back));
        host.SetCaption(ProgressCaption(caption, kBlockCommentProgress, j));
        host.Repaint();
    }
    host.Beep();
    host.SetCaption(kFinishedCaption);
    host.RunFinished();
}

}  // namespace

void RunRemoval(RemovalHost& host, const CodePage& codePage) noexcept {
    try {
        RunPasses(host, codePage);
    } catch (...) {
        // The failure is reported here and goes no further, even when the
        // report itself fails.
        try {
            host.Beep();
            host.ShowMessage(kFailureMessage);
        } catch (...) {
        }
    }
}

}  // namespace kezurin
