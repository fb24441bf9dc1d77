#pragma once

#include <cstddef>
#include <string_view>

#include "kezurin/code_page.hpp"

namespace kezurin {

// Calls visit(offset, length) for every character of `text` from its start: a
// lead byte and the byte after it are one character of length 2. Only a walk
// from the start can tell a lead byte's partner from a character of its own.
template <class Visit>
void ForEachCharacter(std::string_view text, const CodePage& codePage, Visit&& visit) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = codePage.IsLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
        visit(at, length);
        at += length;
    }
}

// The last character of `text`, both bytes of a double-byte one; empty for an empty text.
inline std::string_view LastCharacter(std::string_view text, const CodePage& codePage) {
    std::size_t last = text.size();
    ForEachCharacter(text, codePage, [&](std::size_t at, std::size_t) { last = at; });
    return text.substr(last);
}

}  // namespace kezurin
