#pragma once

// The removal run as a template over the host type, so that a host whose
// type is known (the in-memory host) gets its calls inlined on the per-line path.

#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

#include "block_comments.hpp"
#include "code_page.hpp"
#include "line_comment.hpp"
#include "removal_run.hpp"

namespace kezurin::detail {

// "ケズリン - <line>行目 ..." for one pass. Lines come in order, so the number
// is counted up in place instead of being formatted anew for every line.
class ProgressCaption {
public:
    explicit ProgressCaption(std::string_view progress) : progress_(progress) {}

    std::string_view For(std::size_t line) {
        if (line != line_ + 1 || !CountUp()) Format(line);
        line_ = line;
        return text_;
    }

private:
    void Format(std::size_t line) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, line).ptr;
        text_.assign(kCaptionPrefix).append(digits, end).append(progress_);
        digitsEnd_ = text_.size() - progress_.size();
    }

    // Adds one to the number in the text; false when it needs another digit.
    bool CountUp() {
        for (std::size_t at = digitsEnd_; at-- > kCaptionPrefix.size();) {
            if (text_[at] != '9') {
                ++text_[at];
                return true;
            }
            text_[at] = '0';
        }
        return false;
    }

    std::string_view progress_;
    std::string text_;
    std::size_t digitsEnd_ = 0;
    std::size_t line_ = static_cast<std::size_t>(-2);
};

template <class Host>
void RunPasses(Host& host, const CodePage& codePage) {
    host.SetOutputText(host.GetInputText());

    ProgressCaption lineCaption(kLineCommentProgress);
    for (std::size_t i = 0; i < host.GetLineCount(); ++i) {
        host.PutLine(i, RemoveLineComment(host.GetLine(i), codePage));
        host.SetCaption(lineCaption.For(i));
        host.Repaint();
    }

    ProgressCaption blockCaption(kBlockCommentProgress);
    bool InBlockComment = false;
    std::string scratch;
    for (std::size_t j = 0; j < host.GetLineCount(); ++j) {
        host.PutLine(j, RemoveBlockComments(host.GetLine(j), InBlockComment, scratch, codePage));
        host.SetCaption(blockCaption.For(j));
        host.Repaint();
    }

    host.Beep();
    host.SetCaption(kFinishedCaption);
}

template <class Host>
void RunRemovalOn(Host& host, const CodePage& codePage) noexcept {
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

}  // namespace kezurin::detail
