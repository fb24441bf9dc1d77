#pragma once

// Two routes to one output, each named for its callers:
//
// - RunRemoval, over a RemovalHost: the window. Its host sees every line of
//   both passes in their order, with a caption and a repaint after each, and
//   the run's failures are reported through it.
// - TextRemoval and RemoveComments (kezurin/text_removal.hpp): every caller
//   that watches no captions, such as kezurin-cli. Each line goes through
//   both passes at once, a part of whole lines at a time, and nothing is kept.
//
// Both give the same bytes because no line's result depends on a later line:
// the line-comment pass looks at one line alone, and the block-comment pass
// carries only InBlockComment forward, so a line taken through the second
// pass right after the first meets what the run's second pass would meet.
// The one place where the order shows is an unbroken last line that the
// first pass empties: the run stops counting it, so the second pass never
// visits it, and the pass-through keeps that in detail::RemoveCommentsOfLine.

#include <string_view>

#include "kezurin/code_page.hpp"
#include "kezurin/removal_host.hpp"

namespace kezurin {

// Texts of the run, in the ANSI code page (the sources are compiled to CP932).
inline constexpr std::string_view kCaptionPrefix = "ケズリン - ";
inline constexpr std::string_view kLineCommentProgress = "行目 コメントアウト｢//～｣除去中...";
inline constexpr std::string_view kBlockCommentProgress = "行目 コメントアウト｢/*～*/｣除去中...";
inline constexpr std::string_view kFinishedCaption = "ケズリン - 除去終了";
inline constexpr std::string_view kFailureMessage = "除去処理に失敗しました。";

// Copies the host's input text to its output, then removes the line comments
// from every output line and afterwards the block comments, writing each line
// back and reporting progress in the caption after each one. Any failure stops
// the run and is reported through the host; nothing escapes.
void RunRemoval(RemovalHost& host, const CodePage& codePage = kShiftJis) noexcept;

}  // namespace kezurin
