#pragma once

// The passes' searches, for the engine and its tests.

#include <cstddef>
#include <string_view>

#include "kezurin/code_page.hpp"

namespace kezurin::detail {

// Offset of the first occurrence of `pattern` at or after `from`, byte for
// byte, whatever the code page; npos when there is none.
std::size_t FindBytes(std::string_view text, std::string_view pattern, std::size_t from);

// The search of the passes: the offset of the first occurrence of `pattern`
// at or after `from` that does not begin on the second byte of a double-byte
// character (lead bytes are counted back to the start of `text`), or npos.
// Byte-exact and case-sensitive; an empty pattern is never found.
std::size_t FindFrom(std::string_view text, std::string_view pattern, std::size_t from,
                     const CodePage& codePage);

}  // namespace kezurin::detail
