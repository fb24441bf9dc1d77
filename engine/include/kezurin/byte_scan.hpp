#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kezurin/block_scan.hpp"

// Taken into its caller, so that the bytes sought are constants there.
#if defined(__GNUC__)
#define KEZURIN_ALWAYS_INLINE inline __attribute__((always_inline))
#elif defined(_MSC_VER)
#define KEZURIN_ALWAYS_INLINE __forceinline
#else
#define KEZURIN_ALWAYS_INLINE inline
#endif

namespace kezurin {

// The offset of the first byte at or after `from` that is one of `bytes`, or
// npos; `from` is at most the text's size. Made for lexers that skip to the
// next byte that matters: the text is searched 64 bytes at a time by the
// vector layer.
template <std::size_t N>
KEZURIN_ALWAYS_INLINE std::size_t FindFirstOf(std::string_view text, std::size_t from, const std::array<char, N>& bytes) {
    for (; text.size() - from >= blocks::kBlockSize; from += blocks::kBlockSize) {
        std::uint64_t any = 0;
        for (const std::uint64_t matches : blocks::MatchBlock(text.data() + from, bytes)) any |= matches;
        if (any != 0) return from + static_cast<std::size_t>(std::countr_zero(any));
    }
    for (; from < text.size(); ++from) {
        if (std::find(bytes.begin(), bytes.end(), text[from]) != bytes.end()) return from;
    }
    return std::string_view::npos;
}

}  // namespace kezurin
