#include "line_comment.hpp"

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

std::string_view CutMarkedLineComment(std::string_view line, const LineMarks& marks,
                                      const CodePage& codePage) {
    // A place found in the marks counts for sure when no lead byte stands
    // right before it; anything less plain is left to the byte-wise search.
    const auto plain = [&](std::size_t at) { return at == 0 || !codePage.IsLeadByte(line[at - 1]); };
    constexpr std::size_t kNone = LineMarks::kMaxLength;
    const std::uint64_t pairs = marks.SlashPairs();
    const std::uint64_t laterQuotes = marks.quotes & (marks.quotes - 1);
    const std::size_t comment = static_cast<std::size_t>(std::countr_zero(pairs));
    const std::size_t firstQuote = static_cast<std::size_t>(std::countr_zero(marks.quotes));
    const std::size_t secondQuote = static_cast<std::size_t>(std::countr_zero(laterQuotes));
    if (!plain(comment) || (firstQuote != kNone && !plain(firstQuote)) ||
        (secondQuote != kNone && !plain(secondQuote)))
        return CutLineComment(line, marks.FirstSlash(), codePage);
    const bool commentInsideQuotes =
        laterQuotes != 0 && firstQuote < comment && comment < secondQuote;
    if (!commentInsideQuotes) return line.substr(0, comment);
    const std::uint64_t pairsAfterQuotes = pairs & (~std::uint64_t{1} << secondQuote);
    if (pairsAfterQuotes == 0) return line;
    const std::size_t afterQuotes = static_cast<std::size_t>(std::countr_zero(pairsAfterQuotes));
    if (!plain(afterQuotes)) return CutLineComment(line, marks.FirstSlash(), codePage);
    return line.substr(0, afterQuotes);
}

}  // namespace detail

}  // namespace kezurin
