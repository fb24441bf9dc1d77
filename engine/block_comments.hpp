#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"
#include "line_marks.hpp"

namespace kezurin {

// Removes the "/*" ... "*/" comments of one line. `InBlockComment` carries an
// unclosed comment from one line to the next: on entry it says whether the
// line starts inside a comment, on return whether it ends inside one. The
// rules are stated once, at detail::CutBlockComments.
std::string RemoveBlockComments(std::string_view line, bool& InBlockComment,
                                const CodePage& codePage = kShiftJis);

// A line in two pieces, `front` then `back`, so that it can be copied once to
// where it goes instead of being joined first.
struct LinePieces {
    std::string_view front;
    std::string_view back;
};

namespace detail {
// The rules, byte by byte. `firstSlash`: where the search for an opener may
// begin (npos: nowhere).
std::string_view CutBlockComments(std::string_view line, std::size_t firstSlash,
                                  bool& InBlockComment, std::string& scratch,
                                  const CodePage& codePage);
// CutBlockComments' result for the usual line (one comment, or the end of
// one) taken from its marks; defers to CutBlockComments for anything else.
// Inline: it is on the path of every line with a comment.
inline LinePieces BlockCommentsFromMarks(std::string_view line, const LineMarks& marks,
                                         bool& InBlockComment, std::string& scratch,
                                         const CodePage& codePage) {
    // CutBlockComments' steps for the usual line, which holds one comment or
    // the end of one: taken at places found in the marks, when no lead byte
    // stands right before them and nothing is left to search after the cut.
    // Anything else is left to CutBlockComments itself.
    const auto plain = [&](std::size_t at) { return at == 0 || !codePage.IsLeadByte(line[at - 1]); };
    const auto from = [](std::size_t at) {
        return at < LineMarks::kMaxLength ? ~std::uint64_t{0} << at : std::uint64_t{0};
    };
    const std::uint64_t openers = marks.Openers();
    const std::uint64_t closers = marks.Closers();
    if (InBlockComment) {
        const std::size_t closer = static_cast<std::size_t>(std::countr_zero(closers));
        if (closers != 0 && plain(closer) && (openers & from(closer + 2)) == 0) {
            InBlockComment = false;
            return {" ", line.substr(closer + 2)};
        }
    } else {
        const std::size_t opener = static_cast<std::size_t>(std::countr_zero(openers));
        const std::uint64_t laterClosers = closers & from(opener + 1);
        if (laterClosers == 0 && plain(opener)) {
            InBlockComment = true;
            return {line.substr(0, opener), " "};
        }
        const std::size_t closer = static_cast<std::size_t>(std::countr_zero(laterClosers));
        const std::size_t rest = closer + 2;
        const bool newOpenerAtCut =
            opener > 0 && line[opener - 1] == '/' && rest < line.size() && line[rest] == '*';
        if (laterClosers != 0 && plain(opener) && plain(closer) && !newOpenerAtCut &&
            (openers & from(rest)) == 0) {
            return {line.substr(0, opener), line.substr(rest)};
        }
    }
    return {CutBlockComments(line, marks.FirstSlash(), InBlockComment, scratch, codePage), {}};
}
}  // namespace detail

// The same, without allocating for every line: the result is either `line`
// itself (nothing to remove) or a view of `scratch` or of a literal, valid
// until the next use of `scratch`.
inline std::string_view RemoveBlockComments(std::string_view line, bool& InBlockComment,
                                            std::string& scratch, const CodePage& codePage);

// And for a short line whose marks are known, in pieces.
inline LinePieces RemoveBlockComments(std::string_view line, const LineMarks& marks,
                                      bool& InBlockComment, std::string& scratch,
                                      const CodePage& codePage) {
    // Outside a comment a line without an opener stays; a line wholly inside
    // one becomes one space. One branch decides both, as lines come in no
    // order a processor could guess.
    const bool nothingToCut = (InBlockComment ? marks.Closers() : marks.Openers()) == 0;
    if (nothingToCut) return {InBlockComment ? std::string_view(" ") : line, {}};
    // Only the marks read are passed on (see RemoveLineComment).
    return detail::BlockCommentsFromMarks(line, LineMarks{marks.slashes, marks.asterisks, 0},
                                          InBlockComment, scratch, codePage);
}

inline std::string_view RemoveBlockComments(std::string_view line, bool& InBlockComment,
                                            std::string& scratch, const CodePage& codePage) {
    const std::size_t slash = line.find('/');
    // Outside a comment, a line without a slash holds neither opener nor closer.
    if (!InBlockComment && slash == std::string_view::npos) return line;
    return detail::CutBlockComments(line, slash, InBlockComment, scratch, codePage);
}

}  // namespace kezurin
