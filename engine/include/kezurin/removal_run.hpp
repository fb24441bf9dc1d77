#pragma once

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
