#include "line_comment.hpp"


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

}  // namespace detail

}  // namespace kezurin
