#pragma once

#include <string_view>

#include "kezurin/code_page.hpp"
#include "line_search.hpp"

namespace kezurin {

namespace detail {
// The line-comment rule. The cut falls before the first "//", unless that
// lies between the line's first two double quotes: then it falls before the
// first "//" after the second quote, and without one the line stays. No other
// quote, escape or comment counts. The second quote and the "//" after it are
// searched for in the piece of the line after the quote before them.
// `firstSlash`: no slash stands before it. In two parts, so that the usual
// line, with no quote before its "//", takes the short one without a call.
template <class Search>
std::string_view CutLineCommentAfterQuote(std::string_view line, std::size_t comment, std::size_t firstQuote,
                                          const Search& search) {
    constexpr auto npos = std::string_view::npos;
    const std::size_t secondQuote = search.Find("\"", firstQuote + 1, firstQuote + 1);
    if (secondQuote == npos || comment > secondQuote) return line.substr(0, comment);
    const std::size_t afterQuotes = search.Find("//", secondQuote + 1, secondQuote + 1);
    return afterQuotes == npos ? line : line.substr(0, afterQuotes);
}

template <class Search>
std::string_view CutLineComment(std::string_view line, std::size_t firstSlash, const Search& search) {
    constexpr auto npos = std::string_view::npos;
    const std::size_t comment = search.Find("//", firstSlash, 0);
    if (comment == npos) return line;
    const std::size_t firstQuote = search.Find("\"", 0, 0);
    if (firstQuote == npos || firstQuote > comment) return line.substr(0, comment);
    return CutLineCommentAfterQuote(line, comment, firstQuote, search);
}
}  // namespace detail

// Cuts `line` directly before the "//" that begins its line comment, searching
// it with `search` (see line_search.hpp). The result is always a prefix of
// `line` (possibly `line` itself).
template <class Search>
std::string_view RemoveLineComment(std::string_view line, const Search& search) {
    // Most lines hold no slash at all; for them that is all there is to know.
    const std::size_t slash = search.FindBytes("/", 0);
    return slash == std::string_view::npos ? line : detail::CutLineComment(line, slash, search);
}

inline std::string_view RemoveLineComment(std::string_view line, const CodePage& codePage = kShiftJis) {
    return RemoveLineComment(line, detail::ByteSearch{line, codePage});
}

}  // namespace kezurin
