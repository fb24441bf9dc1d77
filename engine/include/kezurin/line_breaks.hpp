#pragma once

#include <cstddef>
#include <string_view>

namespace kezurin {

// Which byte sequences end a line. The window knows only CR LF; files may
// also end a line with a lone LF, which the window keeps inside the line.
enum class LineBreaks { CrLf, CrLfOrLf };

// Length of the line break that the LF at `lf` ends: 2 for CR LF, 1 for a lone
// LF where that ends a line, 0 where it is part of the line. `text` starts at
// the start of a line.
constexpr std::size_t BreakLengthAt(std::string_view text, std::size_t lf, LineBreaks breaks) {
    if (lf > 0 && text[lf - 1] == '\r') return 2;
    return breaks == LineBreaks::CrLfOrLf ? 1 : 0;
}

// Where the whole lines of `text` end: just after its last line break, or 0.
constexpr std::size_t WholeLinesEnd(std::string_view text, LineBreaks breaks) {
    const std::size_t lastBreak = breaks == LineBreaks::CrLfOrLf ? text.rfind('\n') : text.rfind("\r\n");
    if (lastBreak == std::string_view::npos) return 0;
    return lastBreak + (breaks == LineBreaks::CrLfOrLf ? 1 : 2);
}

// The number of lines of `text`: its line breaks, and one more for a last
// line that is not empty. An empty last line (the text ends with a line
// break, or is empty) is not counted; empty lines elsewhere are.
constexpr std::size_t CountLines(std::string_view text, LineBreaks breaks) {
    std::size_t lines = 0;
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        if (BreakLengthAt(text, lf, breaks) == 0) continue;
        ++lines;
        start = lf + 1;
    }
    return lines + (start < text.size() ? 1 : 0);
}

}  // namespace kezurin
