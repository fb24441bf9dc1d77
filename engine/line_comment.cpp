#include "line_comment.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>

namespace kezurin {
namespace {

constexpr auto npos = std::string_view::npos;

// The first counting occurrence in the piece of `line` after `offset`; lead
// bytes are counted only within that piece, as a search of the piece would.
std::size_t FindAfter(std::string_view line, std::size_t offset, std::string_view pattern,
                      const CodePage& codePage) {
    const std::size_t at = detail::FindFrom(line.substr(offset + 1), pattern, 0, codePage);
    return at == npos ? npos : offset + 1 + at;
}

}  // namespace

namespace detail {

// The line-comment rule. The cut falls before the first "//", unless that
// lies between the line's first two double quotes: then it falls before the
// first "//" after the second quote, and without one the line stays. No other
// quote, escape or comment counts.
std::string_view CutLineComment(std::string_view line, std::size_t firstSlash,
                                const CodePage& codePage) {
    const std::size_t comment = detail::FindFrom(line, "//", firstSlash, codePage);
    if (comment == npos) return line;
    const std::size_t firstQuote = detail::FindFrom(line, "\"", 0, codePage);
    if (firstQuote == npos) return line.substr(0, comment);
    const std::size_t secondQuote = FindAfter(line, firstQuote, "\"", codePage);
    const bool commentInsideQuotes =
        secondQuote != npos && firstQuote < comment && comment < secondQuote;
    if (!commentInsideQuotes) return line.substr(0, comment);
    const std::size_t afterQuotes = FindAfter(line, secondQuote, "//", codePage);
    return afterQuotes == npos ? line : line.substr(0, afterQuotes);
}

std::string_view LineCommentFromMarks(std::string_view line, const LineMarks& marks,
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

}  // namespace kezurin
