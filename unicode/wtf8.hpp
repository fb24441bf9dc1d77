#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kezurin {

// The panes hold UTF-16, the engine takes bytes. UTF-16 goes to the engine as
// WTF-8: UTF-8, with a surrogate that has no partner encoded on its own in
// three bytes, so that nothing a pane can hold is lost on the way. Every byte
// of a multi-byte sequence is 0x80 or above: the engine's marks ("/", "*",
// '"') never stand inside one, and it needs no lead bytes for this text.

// `Char` is a 16-bit code unit: wchar_t on Windows, char16_t elsewhere.
template <class Char>
std::string Wtf8FromUtf16(std::basic_string_view<Char> text);

// Back to UTF-16. A three-byte surrogate is decoded on its own, so two that
// came together when a comment between them was removed form a pair again,
// as they would in UTF-16. A byte that begins no sequence becomes U+FFFD.
template <class Char>
std::basic_string<Char> Utf16FromWtf8(std::string_view text);

// How many UTF-16 code units the first `bytes` bytes of a WTF-8 text hold.
std::size_t Utf16Length(std::string_view text, std::size_t bytes);

}  // namespace kezurin
