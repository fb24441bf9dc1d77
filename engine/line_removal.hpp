#pragma once

#include <string>
#include <string_view>

#include "block_comments.hpp"
#include "kezurin/code_page.hpp"
#include "line_comment.hpp"
#include "line_search.hpp"

namespace kezurin::detail {

// Both passes over one line, in their order: the line comment is cut first,
// then the block comments of what is left; why this gives the run's bytes is
// said at RunRemoval. `unbrokenLast`: the line is the text's last and has no
// line break. The line pass that empties such a line takes it out of the
// run's count, so the block pass never sees it.
template <class Search>
LinePieces RemoveCommentsOfLine(std::string_view line, const Search& search, bool unbrokenLast,
                                bool& InBlockComment, std::string& scratch) {
    const std::string_view cut = RemoveLineComment(line, search);
    if (cut.empty() && unbrokenLast) return {cut, {}};
    return RemoveBlockComments(cut, InBlockComment, scratch, search.Prefix(cut.size()));
}

// The same for a line of a text of which `readable` bytes from the line's start may be read.
inline LinePieces RemoveCommentsOfLine(std::string_view line, std::size_t readable, bool unbrokenLast,
                                       bool& InBlockComment, std::string& scratch, const CodePage& codePage) {
    if (line.size() <= MarkedSearch::kMaxLength)
        return RemoveCommentsOfLine(line, MarkedSearch::Of(line, readable, codePage), unbrokenLast, InBlockComment,
                                    scratch);
    return RemoveCommentsOfLine(line, ByteSearch{line, codePage}, unbrokenLast, InBlockComment, scratch);
}

}  // namespace kezurin::detail
