#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
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
// Inline: it is on the path of every line with a comment.
inline std::string_view LineCommentFromMarks(std::string_view line, const LineMarks& marks,
                                             const CodePage& codePage) {
    // CutLineComment's steps on the places found in the marks, worked out
    // without a branch, as lines come in no order a processor could guess.
    // Places not there are kNone.
    constexpr std::size_t kNone = LineMarks::kMaxLength;
    const auto first = [](std::uint64_t bits) { return static_cast<std::size_t>(std::countr_zero(bits)); };
    const auto from = [](std::size_t at) { return at < kNone ? ~std::uint64_t{0} << at : 0; };
    // A place found in the marks counts for sure when no lead byte stands
    // right before it; anything less plain is left to the byte-wise search.
    const auto leadBefore = [&](std::size_t at) {
        const std::size_t before = at == 0 ? 0 : std::min(at, line.size()) - 1;
        return (at != 0) & (at < kNone) & codePage.IsLeadByte(line[before]);
    };
    const std::uint64_t pairs = marks.SlashPairs();
    const std::uint64_t laterQuotes = marks.quotes & (marks.quotes - 1);
    const std::size_t comment = first(pairs);
    const std::size_t firstQuote = first(marks.quotes);
    const std::size_t secondQuote = first(laterQuotes);
    const std::size_t afterQuotes = first(pairs & from(secondQuote + 1));
    const bool commentInsideQuotes =
        (laterQuotes != 0) & (firstQuote < comment) & (comment < secondQuote);
    const bool doubtful = leadBefore(comment) | leadBefore(firstQuote) | leadBefore(secondQuote) |
                          (commentInsideQuotes & leadBefore(afterQuotes));
    if (doubtful) return CutLineComment(line, marks.FirstSlash(), codePage);
    return line.substr(0, commentInsideQuotes ? std::min(afterQuotes, line.size()) : comment);
}
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
