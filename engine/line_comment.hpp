#pragma once

#include <string_view>

#include "code_page.hpp"

namespace kezurin {

// Cuts `line` directly before the "//" that begins its line comment. The only
// guard against string literals is the first pair of double quotes: a first
// "//" between them is skipped in favour of the first "//" after the pair.
// The result is always a prefix of `line` (possibly `line` itself).
std::string_view RemoveLineComment(std::string_view line, const CodePage& codePage = kShiftJis);

}  // namespace kezurin
