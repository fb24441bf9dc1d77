#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"
#include "line_search.hpp"

namespace kezurin {

// What a comment that runs on past a line break leaves on each of its lines.
inline constexpr std::string_view kFiller = " ";

// A line in two pieces, `front` then `back`, so that it is copied once, to
// where it goes, if at all.
struct LinePieces {
    std::string_view front;
    std::string_view back;
};

namespace detail {

// The line while comments are being cut out of it: the finished front,
// followed by the part of the original line from `next_` on. The front is a
// view: of the line itself or of the filler while it is one piece, of `kept_`
// once it is more. Cutting moves `next_` forward instead of rebuilding the
// line, so a line with many comments costs no more than one pass over it, and
// the usual line, with one comment or the end of one, is not copied at all.
template <class Search>
class LineBeingCut {
public:
    LineBeingCut(std::string_view line, std::size_t firstSlash, std::string& kept, const Search& search)
        : line_(line), kept_(kept), search_(search), codePage_(search.codePage), firstSlash_(firstSlash) {}

    LinePieces Result() const {
        if (!changed_) return {line_, {}};
        return {front_, openAtEnd_ ? kFiller : line_.substr(next_)};
    }

    // The continuation of a comment opened on an earlier line: everything up to
    // and including the first "*/" becomes the filler. False when the line
    // holds no "*/", and then the whole line has become the filler.
    bool CloseOpenComment() {
        changed_ = true;
        Keep(kFiller);
        const std::size_t closer = search_.Find("*/", 0, 0);
        next_ = closer == std::string_view::npos ? line_.size() : closer + 2;
        return closer != std::string_view::npos;
    }

    // Finds the first "/*" of the line as it now stands and cuts out the comment
    // it opens. False when there is no opener left or the comment runs on past
    // the end of the line (then the line ends in the filler after the opener's
    // front, and `commentLeftOpen` is set).
    bool CutNextComment(bool& commentLeftOpen) {
        std::size_t asterisk = std::string_view::npos;
        if (OpenerStraddlesCut()) {
            front_.remove_suffix(1);
            asterisk = next_;
        } else {
            const std::size_t slash = FindOpenerInRest();
            if (slash == std::string_view::npos) return false;
            Keep(line_.substr(next_, slash - next_));
            asterisk = slash + 1;
        }
        changed_ = true;
        // The closer is searched from the opener's own asterisk on, so "/*/" is a
        // whole comment; lead bytes are counted only within that piece.
        const std::size_t closer = search_.Find("*/", asterisk, asterisk);
        if (closer == std::string_view::npos) {
            next_ = line_.size();
            openAtEnd_ = commentLeftOpen = true;
            return false;
        }
        next_ = closer + 2;
        return true;
    }

private:
    // Adds a piece to the front, copying both only once the front is more than one piece.
    void Keep(std::string_view piece) {
        if (piece.empty()) return;
        if (front_.empty()) {
            front_ = piece;
            return;
        }
        if (front_.data() != kept_.data()) kept_.assign(front_);
        kept_.resize(front_.size());
        kept_.append(piece);
        front_ = kept_;
    }

    // A cut can bring a "/" at the end of the kept front and a "*" at the
    // start of the rest together into a new opener.
    bool OpenerStraddlesCut() {
        if (front_.empty() || front_.back() != '/' || next_ >= line_.size() || line_[next_] != '*')
            return false;
        return KeptLeadRun(front_.size() - 1) % 2 == 0;
    }

    // The first counting "/*" in the rest of the line. Lead bytes before it are
    // counted back through the rest and, where the run reaches it, the kept front.
    std::size_t FindOpenerInRest() {
        if (firstSlash_ == std::string_view::npos) return std::string_view::npos;
        for (std::size_t at = search_.FindBytes("/*", std::max(next_, firstSlash_)); at != std::string_view::npos;
             at = search_.FindBytes("/*", at + 1)) {
            std::size_t run = 0;
            while (at - run > next_ && codePage_.IsLeadByte(line_[at - run - 1])) ++run;
            if (at - run == next_) run += KeptLeadRun(front_.size());
            if (run % 2 == 0) return at;
        }
        return std::string_view::npos;
    }

    // Lead bytes directly before `end` in the kept front. The last answer is
    // remembered, so that runs of lead bytes are not counted again and again.
    std::size_t KeptLeadRun(std::size_t end) {
        const std::size_t runStart = cachedEnd_ - cachedRun_;
        std::size_t run = 0;
        if (end >= runStart && end <= cachedEnd_) {
            run = end - runStart;
        } else {
            while (run < end && codePage_.IsLeadByte(front_[end - run - 1])) {
                ++run;
                if (end - run == cachedEnd_) {
                    run += cachedRun_;
                    break;
                }
            }
        }
        cachedEnd_ = end;
        cachedRun_ = run;
        return run;
    }

    std::string_view line_;
    std::string& kept_;
    std::string_view front_;
    const Search& search_;
    const CodePage& codePage_;
    const std::size_t firstSlash_;  // no slash stands before it
    std::size_t next_ = 0;
    bool changed_ = false;
    bool openAtEnd_ = false;  // the line ends in the filler of a comment that runs on
    std::size_t cachedEnd_ = 0;
    std::size_t cachedRun_ = 0;
};

// The block-comment rules, searching the line with `search` (see
// line_search.hpp). `firstSlash`: where the search for an opener may begin,
// no "/*" standing before it (npos: nowhere). A comment open on entry runs to the line's first
// "*/": everything up to it becomes the filler, or the whole line does when
// there is none. Then, again and again, the first "/*" of the line as it now
// stands opens a comment that the first "*/" from the opener's own asterisk
// on closes ("/*/" is whole): the span is cut out, nothing in its place; or,
// unclosed, the rest of the line becomes the filler and the comment stays
// open. Strings are not recognised and comments do not nest.
template <class Search>
LinePieces CutBlockComments(std::string_view line, std::size_t firstSlash, bool& InBlockComment,
                                  std::string& scratch, const Search& search) {
    LineBeingCut<Search> cut(line, firstSlash, scratch, search);
    if (InBlockComment) {
        if (!cut.CloseOpenComment()) return cut.Result();
        InBlockComment = false;
    }
    while (cut.CutNextComment(InBlockComment)) {
    }
    return cut.Result();
}

}  // namespace detail

// Removes the "/*" ... "*/" comments of one line, searching it with `search`.
// `InBlockComment` carries an unclosed comment from one line to the next: on
// entry it says whether the line starts inside a comment, on return whether
// it ends inside one. The result is `line` itself when there is nothing to
// remove, else pieces of it, of the filler or of `scratch`, valid until the
// next use of `scratch`.
template <class Search>
LinePieces RemoveBlockComments(std::string_view line, bool& InBlockComment, std::string& scratch,
                                     const Search& search) {
    // Outside a comment, a line without "/*" has nothing to cut.
    const std::size_t opener = search.FindBytes("/*", 0);
    if (!InBlockComment && opener == std::string_view::npos) return {line, {}};
    return detail::CutBlockComments(line, opener, InBlockComment, scratch, search);
}

inline LinePieces RemoveBlockComments(std::string_view line, bool& InBlockComment, std::string& scratch,
                                      const CodePage& codePage = kShiftJis) {
    return RemoveBlockComments(line, InBlockComment, scratch, detail::ByteSearch{line, codePage});
}

}  // namespace kezurin
