#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The vector layer: where given bytes stand in blocks of 64 bytes, for the
// engine's walks and for the lexers of kezurin-cli.
//
// SSE2, which every x86-64 processor has, is the one vector path: plain
// compiler intrinsics that g++, clang, MinGW-w64 and MSVC all know, with no
// library to install. Other processors keep the scalar code.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define KEZURIN_SSE2 1
#include <emmintrin.h>
#else
#define KEZURIN_SSE2 0
#endif

namespace kezurin::blocks {

inline constexpr std::size_t kBlockSize = 64;

// Where each of the given bytes stands in a block of 64 bytes: bit i of
// result[k] is set when byte i of the block is bytes[k]. The reference, which
// the vector path must match: eight bytes at a time and without a branch, so
// that short lines cost a few instructions each instead of library calls
// whose ends cannot be foreseen.
template <std::size_t N>
std::array<std::uint64_t, N> MatchBlockScalar(const char* block, const std::array<char, N>& bytes) {
    std::array<std::uint64_t, N> matches{};
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7F;
        constexpr std::uint64_t kHigh = 0x8080808080808080;
        // Multiplying gathers the top bit of each byte into the top byte, in
        // byte order; the partial products never overlap, so nothing carries.
        constexpr std::uint64_t kGather = 0x0002040810204081;
        constexpr std::uint64_t kTopByte = 0xFF00000000000000;
        for (std::size_t word = 0; word < kBlockSize / 8; ++word) {
            std::uint64_t eight;
            std::memcpy(&eight, block + 8 * word, sizeof eight);
            const std::uint64_t low = eight & kLow7;
            const std::uint64_t lowTop = ~eight & kHigh;  // top bit set in bytes below 0x80
            for (std::size_t k = 0; k < N; ++k) {
                const auto byte = static_cast<unsigned char>(bytes[k]);
                // 0x80 less the difference of the low seven bits keeps its top
                // bit only where they are equal; the top bits must agree too.
                const std::uint64_t lowEqual = kHigh - (low ^ (kOnes * (byte & 0x7Fu)));
                const std::uint64_t equal = lowEqual & (byte < 0x80 ? lowTop : eight & kHigh);
                // Each word's bits enter at the top and move down a byte a word.
                matches[k] = (matches[k] >> 8) | ((equal * kGather) & kTopByte);
            }
        }
    } else {
        for (std::size_t i = 0; i < kBlockSize; ++i)
            for (std::size_t k = 0; k < N; ++k)
                matches[k] |= std::uint64_t{block[i] == bytes[k]} << i;
    }
    return matches;
}

#if KEZURIN_SSE2
// A block of 64 bytes as four vectors.
struct Vectors {
    __m128i parts[kBlockSize / 16];
};
inline Vectors LoadBlock(const char* block) {
    Vectors vectors;
    for (std::size_t i = 0; i < kBlockSize / 16; ++i)
        vectors.parts[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
    return vectors;
}

// MatchBlockScalar sixteen bytes at a time.
template <std::size_t N>
std::array<std::uint64_t, N> MatchBlockSse2(const char* block, const std::array<char, N>& bytes) {
    const auto [parts] = LoadBlock(block);
    std::array<std::uint64_t, N> matches{};
    for (std::size_t k = 0; k < N; ++k) {
        const __m128i sought = _mm_set1_epi8(bytes[k]);
        for (std::size_t i = 0; i < kBlockSize / 16; ++i) {
            const auto bits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(parts[i], sought)));
            matches[k] |= std::uint64_t{bits} << (16 * i);
        }
    }
    return matches;
}
#endif

// Bit i set when byte i of a block of 64 bytes is 0x80 or above.
inline std::uint64_t HighBitsScalar(const char* block) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < kBlockSize; ++i)
        bits |= std::uint64_t{static_cast<unsigned char>(block[i]) >= 0x80} << i;
    return bits;
}

#if KEZURIN_SSE2
inline std::uint64_t HighBitsSse2(const char* block) {
    const auto [parts] = LoadBlock(block);
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < kBlockSize / 16; ++i)
        bits |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(parts[i]))} << (16 * i);
    return bits;
}
#endif

inline std::uint64_t HighBits(const char* block) {
#if KEZURIN_SSE2
    return HighBitsSse2(block);
#else
    return HighBitsScalar(block);
#endif
}

// Where the bytes of a block of 64 bytes are at least each of the given
// values: bit i of result[k] is set when byte i is thresholds[k] or above. The
// reference for the vector path.
template <std::size_t N>
std::array<std::uint64_t, N> AtLeastScalar(const char* block, const std::array<unsigned char, N>& thresholds) {
    std::array<std::uint64_t, N> matches{};
    for (std::size_t i = 0; i < kBlockSize; ++i)
        for (std::size_t k = 0; k < N; ++k)
            matches[k] |= std::uint64_t{static_cast<unsigned char>(block[i]) >= thresholds[k]} << i;
    return matches;
}

#if KEZURIN_SSE2
template <std::size_t N>
std::array<std::uint64_t, N> AtLeastSse2(const char* block, const std::array<unsigned char, N>& thresholds) {
    const auto [parts] = LoadBlock(block);
    std::array<std::uint64_t, N> matches{};
    for (std::size_t k = 0; k < N; ++k) {
        // A byte is at least the threshold where the larger of the two is the byte.
        const __m128i threshold = _mm_set1_epi8(static_cast<char>(thresholds[k]));
        for (std::size_t i = 0; i < kBlockSize / 16; ++i) {
            const __m128i atLeast = _mm_cmpeq_epi8(_mm_max_epu8(parts[i], threshold), parts[i]);
            matches[k] |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(atLeast))} << (16 * i);
        }
    }
    return matches;
}
#endif

template <std::size_t N>
std::array<std::uint64_t, N> AtLeast(const char* block, const std::array<unsigned char, N>& thresholds) {
#if KEZURIN_SSE2
    return AtLeastSse2(block, thresholds);
#else
    return AtLeastScalar(block, thresholds);
#endif
}

template <std::size_t N>
std::array<std::uint64_t, N> MatchBlock(const char* block, const std::array<char, N>& bytes) {
#if KEZURIN_SSE2
    return MatchBlockSse2(block, bytes);
#else
    return MatchBlockScalar(block, bytes);
#endif
}

// The block of `text` at `offset`: in place where 64 bytes from there lie
// within the first `readable` bytes from the text's start, else copied into
// `copy` and padded with zeros, which match none of the bytes sought.
inline const char* BlockAt(std::string_view text, std::size_t offset, std::size_t readable, char (&copy)[kBlockSize]) {
    if (readable - offset >= kBlockSize) return text.data() + offset;
    const std::size_t size = std::min(text.size() - offset, kBlockSize);
    std::memset(copy, 0, kBlockSize);
    if (size != 0) std::memcpy(copy, text.data() + offset, size);
    return copy;
}

// Bits 0 to `size` - 1 of a block, the bytes of the text where it ends early.
inline std::uint64_t InText(std::size_t size) {
    return size >= kBlockSize ? ~std::uint64_t{0} : (std::uint64_t{1} << size) - 1;
}

}  // namespace kezurin::blocks
