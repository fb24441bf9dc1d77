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

namespace blocks {
// FindFirstOf on one path of the vector layer.
template <class Path, std::size_t N>
KEZURIN_ALWAYS_INLINE std::size_t FindFirstOfOn(std::string_view text, std::size_t from, const std::array<char, N>& bytes) {
    for (; text.size() - from >= kBlockSize; from += kBlockSize) {
        if (const std::uint64_t any = Path::MatchAny(text.data() + from, bytes))
            return from + static_cast<std::size_t>(std::countr_zero(any));
    }
    for (; from < text.size(); ++from) {
        if (std::find(bytes.begin(), bytes.end(), text[from]) != bytes.end()) return from;
    }
    return std::string_view::npos;
}

}  // namespace blocks

// The offset of the first byte at or after `from` that is one of `bytes`, or
// npos; `from` is at most the text's size. Made for lexers that skip to the
// next byte that matters: the text is searched 64 bytes at a time by the
// vector layer, on its chosen path. The SSE2 path is taken in place; the
// others are calls, compiled for their own instructions.
template <std::size_t N>
KEZURIN_ALWAYS_INLINE std::size_t FindFirstOf(std::string_view text, std::size_t from, const std::array<char, N>& bytes) {
    // By value, so that the path taken in place keeps the bytes as constants.
    const auto find = [text, from, bytes](auto path) { return blocks::FindFirstOfOn<decltype(path)>(text, from, bytes); };
    const blocks::Vectors chosen = blocks::ChosenVectors();
#if KEZURIN_AVX
    if (chosen == blocks::Vectors::kAvx2) return blocks::Avx2Path::Run(find);
#endif
    if (chosen == blocks::Vectors::kScalar) return blocks::ScalarPath::Call(find);
    return blocks::FindFirstOfOn<blocks::DefaultPath>(text, from, bytes);
}

}  // namespace kezurin
