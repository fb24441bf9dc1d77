#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The vector layer: where given bytes stand in blocks of 64 bytes, for the
// engine's walks and for the lexers of kezurin-cli.
//
// It has a path for each set of vector instructions it knows, all plain
// compiler intrinsics that g++, clang, MinGW-w64 and MSVC know, with no
// library to install: SSE2, which every x86-64 processor has, AVX2, used only
// where the processor reports it, and the scalar code, the reference that
// every vector path must match. (An AVX-512 path, 64 bytes in one compare,
// measured slower than AVX2 on the processors we have.) The program is
// compiled for the oldest processor; the wider paths are compiled for their
// own instructions function by function (GCC and clang: the target
// attribute; MSVC takes the intrinsics anywhere), and chosen once, at the
// first use (ChosenVectors).
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define KEZURIN_SSE2 1
#include <emmintrin.h>
#else
#define KEZURIN_SSE2 0
#endif
#if defined(__x86_64__) || defined(_M_X64)
#define KEZURIN_AVX 1
#include <immintrin.h>
#else
#define KEZURIN_AVX 0
#endif
#if defined(__GNUC__)
// Code for a wider set of instructions than the program's. BMI (tzcnt,
// blsr) comes with every processor that has AVX2 and is checked for too.
#define KEZURIN_AVX2_CODE __attribute__((target("avx2,bmi,bmi2,popcnt")))
// Every call in the function is inlined, so that a path's instructions reach
// everything it calls, and a walk keeps its masks in registers.
#define KEZURIN_FLATTEN __attribute__((flatten))
#else
#define KEZURIN_AVX2_CODE
#define KEZURIN_FLATTEN
#endif
#if defined(__GNUC__)
#define KEZURIN_NOINLINE __attribute__((noinline))
#elif defined(_MSC_VER)
#define KEZURIN_NOINLINE __declspec(noinline)
#else
#define KEZURIN_NOINLINE
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
struct Sse2Block {
    __m128i parts[kBlockSize / 16];
};
inline Sse2Block LoadBlock(const char* block) {
    Sse2Block vectors;
    for (std::size_t i = 0; i < kBlockSize / 16; ++i)
        vectors.parts[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * i));
    return vectors;
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

// The sets of vector instructions the layer has a path for, narrowest first.
enum class Vectors : unsigned char { kScalar, kSse2, kAvx2 };

// Each path as a type, for code compiled once for each. Match(block, bytes)
// is MatchBlock on the path; MatchAny(block, bytes) joins its results, bit i
// set where byte i is any of the bytes, in fewer steps. Run(f) calls f(path)
// compiled for the path's instructions, everything f calls inlined (the
// walks are written once, as templates on the path).
struct ScalarPath {
    static constexpr Vectors kVectors = Vectors::kScalar;
    template <std::size_t N>
    static std::array<std::uint64_t, N> Match(const char* block, const std::array<char, N>& bytes) {
        return MatchBlockScalar(block, bytes);
    }
    template <std::size_t N>
    static std::uint64_t MatchAny(const char* block, const std::array<char, N>& bytes) {
        std::uint64_t any = 0;
        for (const std::uint64_t matches : MatchBlockScalar(block, bytes)) any |= matches;
        return any;
    }
    template <class F>
    KEZURIN_FLATTEN static decltype(auto) Run(F&& f) { return f(ScalarPath{}); }
    // Run, kept out of its caller.
    template <class F>
    KEZURIN_NOINLINE static decltype(auto) Call(F&& f) { return Run(f); }
};

#if KEZURIN_SSE2
// Sixteen bytes at a time.
struct Sse2Path {
    static constexpr Vectors kVectors = Vectors::kSse2;
    template <std::size_t N>
    static std::array<std::uint64_t, N> Match(const char* block, const std::array<char, N>& bytes) {
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
    template <std::size_t N>
    static std::uint64_t MatchAny(const char* block, const std::array<char, N>& bytes) {
        const auto [parts] = LoadBlock(block);
        std::uint64_t any = 0;
        for (std::size_t i = 0; i < kBlockSize / 16; ++i) {
            __m128i equal = _mm_cmpeq_epi8(parts[i], _mm_set1_epi8(bytes[0]));
            for (std::size_t k = 1; k < N; ++k)
                equal = _mm_or_si128(equal, _mm_cmpeq_epi8(parts[i], _mm_set1_epi8(bytes[k])));
            any |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(equal))} << (16 * i);
        }
        return any;
    }
    template <class F>
    KEZURIN_FLATTEN static decltype(auto) Run(F&& f) { return f(Sse2Path{}); }
};
using DefaultPath = Sse2Path;
#else
using DefaultPath = ScalarPath;
#endif

#if KEZURIN_AVX
// Thirty-two bytes at a time.
struct Avx2Path {
    static constexpr Vectors kVectors = Vectors::kAvx2;
    template <std::size_t N>
    KEZURIN_AVX2_CODE static std::array<std::uint64_t, N> Match(const char* block, const std::array<char, N>& bytes) {
        const __m256i low = Load(block), high = Load(block + 32);
        std::array<std::uint64_t, N> matches{};
        for (std::size_t k = 0; k < N; ++k) {
            const __m256i sought = _mm256_set1_epi8(bytes[k]);
            matches[k] = Bits(_mm256_cmpeq_epi8(low, sought)) | Bits(_mm256_cmpeq_epi8(high, sought)) << 32;
        }
        return matches;
    }
    template <std::size_t N>
    KEZURIN_AVX2_CODE static std::uint64_t MatchAny(const char* block, const std::array<char, N>& bytes) {
        std::uint64_t any = 0;
        for (std::size_t i = 0; i < 2; ++i) {
            const __m256i part = Load(block + 32 * i);
            __m256i equal = _mm256_cmpeq_epi8(part, _mm256_set1_epi8(bytes[0]));
            for (std::size_t k = 1; k < N; ++k)
                equal = _mm256_or_si256(equal, _mm256_cmpeq_epi8(part, _mm256_set1_epi8(bytes[k])));
            any |= Bits(equal) << (32 * i);
        }
        return any;
    }
    template <class F>
    KEZURIN_AVX2_CODE KEZURIN_FLATTEN static decltype(auto) Run(F&& f) { return f(Avx2Path{}); }

private:
    KEZURIN_AVX2_CODE static __m256i Load(const char* at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)); }
    KEZURIN_AVX2_CODE static std::uint64_t Bits(__m256i equal) {
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(equal));
    }
};
#endif

// On the path taken in place (SSE2 on x86-64).
template <std::size_t N>
std::array<std::uint64_t, N> MatchBlock(const char* block, const std::array<char, N>& bytes) {
    return DefaultPath::Match(block, bytes);
}

// What ChosenVectors reads: kept apart, so that a caller on the hot path
// reads it inline.
inline std::atomic<int> chosenVectors{-1};
Vectors ChooseVectors();

// The vectors the paths use: the widest set this processor has, chosen at the
// first call, or a narrower one that the environment variable KEZURIN_VECTORS
// names (scalar, sse2, avx2), for tests and for comparing.
inline Vectors ChosenVectors() {
    const int chosen = chosenVectors.load(std::memory_order_relaxed);
    return chosen >= 0 ? static_cast<Vectors>(chosen) : ChooseVectors();
}

// Uses `vectors` from now on, or the widest set below them that this
// processor has; returns the vectors now in use. For tests and fuzz targets,
// which hold every path to the scalar one.
Vectors UseVectors(Vectors vectors);

// f(path) on the chosen path, compiled for its instructions.
template <class F>
decltype(auto) OnChosenPath(F&& f) {
    switch (ChosenVectors()) {
#if KEZURIN_AVX
        case Vectors::kAvx2: return Avx2Path::Run(f);
#endif
        case Vectors::kScalar: return ScalarPath::Run(f);
        default: return DefaultPath::Run(f);
    }
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
