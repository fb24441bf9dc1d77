#pragma once

#include <string>
#include <string_view>

#include "block_comments.hpp"
#include "kezurin/code_page.hpp"
#include "line_comment.hpp"
#include "line_marks.hpp"

namespace kezurin::detail {

// Both passes over one line, in their order: the line comment is cut first,
// then the block comments of what is left. A host whose progress no one
// watches can take its lines one at a time like this, as no line's result
// depends on a later one. `unbrokenLast`: the line is the text's last and has
// no line break; the line pass that empties it takes it out of the count, so
// the block pass never sees it.
inline LinePieces RemoveCommentsOfLine(std::string_view line, const LineMarks* marks, bool unbrokenLast,
                                       bool& InBlockComment, std::string& scratch, const CodePage& codePage) {
    if (marks) {
        // A line wholly inside a comment is one space, and outside one, a line
        // without "/*" loses at most its line comment: whatever the line pass
        // leaves is a part of the line, and holds no more than it.
        if (InBlockComment && marks->Closers() == 0 && !unbrokenLast) return {" ", {}};
        if (!InBlockComment && marks->Openers() == 0) return {RemoveLineComment(line, *marks, codePage), {}};
        const std::string_view cut = RemoveLineComment(line, *marks, codePage);
        if (cut.empty() && unbrokenLast) return {cut, {}};
        return RemoveBlockComments(cut, marks->Prefix(cut.size()), InBlockComment, scratch, codePage);
    }
    // A long line inside a comment without a slash holds no closer.
    if (InBlockComment && !unbrokenLast && line.find('/') == std::string_view::npos) return {" ", {}};
    const std::string_view cut = RemoveLineComment(line, codePage);
    if (cut.empty() && unbrokenLast) return {cut, {}};
    return {RemoveBlockComments(cut, InBlockComment, scratch, codePage), {}};
}

}  // namespace kezurin::detail
