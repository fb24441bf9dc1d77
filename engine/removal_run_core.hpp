#pragma once

// The removal run as a template over the host type, so that a host whose
// type is known (the in-memory host) gets its calls inlined on the per-line path.

#include <charconv>
#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "block_comments.hpp"
#include "kezurin/code_page.hpp"
#include "line_comment.hpp"
#include "marked_host.hpp"
#include "kezurin/removal_run.hpp"
#include "kezurin/text_host.hpp"

namespace kezurin::detail {

// "ケズリン - <line>行目 ..." for one pass, built in `text`. Lines come in
// order, so the number is counted up in place instead of being formatted
// anew for every line.
class ProgressCaption {
public:
    ProgressCaption(std::string_view progress, std::string& text) : progress_(progress), text_(text) {}

    std::string_view For(std::size_t line) {
        if (line != line_ + 1 || text_.size() != size_ || !CountUp()) Format(line);
        line_ = line;
        return text_;
    }

private:
    void Format(std::size_t line) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, line).ptr;
        text_.assign(kCaptionPrefix).append(digits, end).append(progress_);
        digitsEnd_ = text_.size() - progress_.size();
        size_ = text_.size();
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
    std::string& text_;
    std::size_t size_ = 0;
    std::size_t digitsEnd_ = 0;
    std::size_t line_ = static_cast<std::size_t>(-2);
};

template <class Host>
void RunPasses(Host& host, const CodePage& codePage) {
    constexpr bool kMarked = MarkedLinesHost<Host>;
    if constexpr (kMarked) {
        // With no one to see the captions in between, each line goes through
        // both passes at once: the output is the same.
        if (!host.ProgressWatched()) {
            host.SetOutputTextWithoutComments(codePage);
            host.Beep();
            host.SetCaption(kFinishedCaption);
            host.RunFinished();
            return;
        }
    }
    host.SetOutputText(host.GetInputText());
    std::string ownCaption;
    std::string& captionText = [&]() -> std::string& {
        if constexpr (kMarked) return host.CaptionStorage();
        else return ownCaption;
    }();
    ProgressCaption lineCaption(kLineCommentProgress, captionText);
    for (std::size_t i = 0; i < host.GetLineCount(); ++i) {
        const std::string_view line = host.GetLine(i);
        std::optional<LineMarks> marks;
        if constexpr (kMarked) marks = host.MarksOf(i);
        host.PutLine(i, marks ? RemoveLineComment(line, *marks, codePage)
                              : RemoveLineComment(line, codePage));
        host.SetCaption(lineCaption.For(i));
        host.Repaint();
    }

    ProgressCaption blockCaption(kBlockCommentProgress, captionText);
    bool InBlockComment = false;
    std::string scratch;
    for (std::size_t j = 0; j < host.GetLineCount(); ++j) {
        const std::string_view line = host.GetLine(j);
        if constexpr (kMarked) {
            // The cut line goes over in pieces, copied once, straight to where it goes.
            if (const std::optional<LineMarks> marks = host.MarksOf(j)) {
                const LinePieces cut = RemoveBlockComments(line, *marks, InBlockComment, scratch, codePage);
                host.PutLine(j, cut.front, cut.back);
            } else {
                host.PutLine(j, RemoveBlockComments(line, InBlockComment, scratch, codePage));
            }
        } else {
            host.PutLine(j, RemoveBlockComments(line, InBlockComment, scratch, codePage));
        }
        host.SetCaption(blockCaption.For(j));
        host.Repaint();
    }

    host.Beep();
    host.SetCaption(kFinishedCaption);
    host.RunFinished();
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

// The run over the in-memory host, its fast path inlined; built with the host.
void RunRemovalOnTextHost(TextHost& host, const CodePage& codePage) noexcept;

}  // namespace kezurin::detail
