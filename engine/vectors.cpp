#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "kezurin/block_scan.hpp"

#if KEZURIN_AVX && defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

namespace kezurin::blocks {
namespace {

// The widest set of vector instructions that this processor has and its
// system keeps the registers of (XMM and YMM state).
Vectors ProcessorVectors() {
#if KEZURIN_AVX && defined(__GNUC__)
    // The compiler's own check also asks whether the system saves the wide
    // registers (XGETBV).
    __builtin_cpu_init();
    const bool avx2 =
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
    return avx2 ? Vectors::kAvx2 : Vectors::kSse2;
#elif KEZURIN_AVX && defined(_MSC_VER)
    int leaf0[4], leaf1[4], leaf7[4] = {};
    __cpuid(leaf0, 0);
    __cpuid(leaf1, 1);
    if (leaf0[0] >= 7) __cpuidex(leaf7, 7, 0);
    const bool osSaves = (leaf1[2] >> 27 & 1) != 0;  // OSXSAVE: XGETBV tells which registers are kept
    const unsigned long long kept = osSaves ? _xgetbv(0) : 0;
    const auto has = [&](int bit) { return (leaf7[1] >> bit & 1) != 0; };
    const bool avx2 = (kept & 0x6) == 0x6 && has(5) && has(3) && has(8);  // AVX2, BMI1, BMI2
    return avx2 ? Vectors::kAvx2 : Vectors::kSse2;
#else
    return DefaultPath::kVectors;
#endif
}

// The set KEZURIN_VECTORS names, or the widest there is.
Vectors NamedVectors() {
    const char* named = std::getenv("KEZURIN_VECTORS");
    const std::string_view name = named ? named : "";
    if (name == "scalar") return Vectors::kScalar;
    if (name == "sse2") return Vectors::kSse2;
    return Vectors::kAvx2;
}

}  // namespace

Vectors UseVectors(Vectors vectors) {
    const Vectors used = std::min(vectors, ProcessorVectors());
    chosenVectors.store(static_cast<int>(used), std::memory_order_relaxed);
    return used;
}

Vectors ChooseVectors() { return UseVectors(NamedVectors()); }

}  // namespace kezurin::blocks
