#pragma once

#include <string>
#include <string_view>

#include "code_page.hpp"

namespace kezurin {

// Removes the "/*" ... "*/" comments of one line. `InBlockComment` carries an
// unclosed comment from one line to the next: on entry it says whether the
// line starts inside a comment, on return whether it ends inside one.
std::string RemoveBlockComments(std::string_view line, bool& InBlockComment,
                                const CodePage& codePage = kShiftJis);

namespace detail {
std::string_view CutBlockComments(std::string_view line, bool& InBlockComment,
                                  std::string& scratch, const CodePage& codePage);
}  // namespace detail

// The same, without allocating for every line: the result is either `line`
// itself (nothing to remove) or a view of `scratch`, valid until its next use.
inline std::string_view RemoveBlockComments(std::string_view line, bool& InBlockComment,
                                            std::string& scratch, const CodePage& codePage) {
    // Outside a comment, a line without a slash holds neither opener nor closer.
    if (!InBlockComment && line.find('/') == std::string_view::npos) return line;
    return detail::CutBlockComments(line, InBlockComment, scratch, codePage);
}

}  // namespace kezurin
