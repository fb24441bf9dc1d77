#pragma once

#include <string_view>

#include "kezurin/code_page.hpp"
#include "line_marks.hpp"

namespace kezurin {

// Cuts `line` directly before the "//" that begins its line comment; the
// rule itself is stated once, at detail::CutLineComment. The result is always
// a prefix of `line` (possibly `line` itself).
inline std::string_view RemoveLineComment(std::string_view line,
                                          const CodePage& codePage = kShiftJis);

// The same for a short line whose marks are known (see LineCommentFromMarks).
inline std::string_view RemoveLineComment(std::string_view line, const LineMarks& marks,
                                          const CodePage& codePage = kShiftJis);

namespace detail {
// The rule, byte by byte; `firstSlash`: no slash stands before it.
std::string_view CutLineComment(std::string_view line, std::size_t firstSlash,
                                const CodePage& codePage);
// CutLineComment's decision taken from the line's marks; gives the same
// result, and defers to CutLineComment wherever the marks could mislead.
std::string_view LineCommentFromMarks(std::string_view line, const LineMarks& marks,
                                      const CodePage& codePage);
}  // namespace detail

inline std::string_view RemoveLineComment(std::string_view line, const CodePage& codePage) {
    // Most lines hold no slash at all; they are passed over without a call.
    const std::size_t slash = line.find('/');
    return slash == std::string_view::npos ? line : detail::CutLineComment(line, slash, codePage);
}

inline std::string_view RemoveLineComment(std::string_view line, const LineMarks& marks,
                                          const CodePage& codePage) {
    // Only the marks read are passed on, so that a host working them out
    // for each line need not work out the others.
    return marks.SlashPairs() == 0
               ? line
               : detail::LineCommentFromMarks(line, LineMarks{marks.slashes, 0, marks.quotes}, codePage);
}

}  // namespace kezurin
