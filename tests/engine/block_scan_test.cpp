#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <string>

#include "kezurin/block_scan.hpp"
#include "kezurin/byte_scan.hpp"

namespace kezurin::blocks {
namespace {

std::uint64_t Expected(const std::string& block, char byte) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < block.size(); ++i) bits |= std::uint64_t{block[i] == byte} << i;
    return bits;
}

// f(path) on every path of the vector layer that this processor has.
template <class F>
void EachPath(const F& f) {
    const Vectors chosen = ChosenVectors();
    for (const Vectors vectors : {Vectors::kScalar, Vectors::kSse2, Vectors::kAvx2}) {
        if (UseVectors(vectors) == vectors) OnChosenPath(f);
    }
    UseVectors(chosen);
}

TEST(MatchBlock, FindsEveryByteSoughtAndNoOther) {
    // Bytes next to the ones sought in value, above 0x80 too, and runs of them.
    const std::string near = "\n\v\t//..**++\"\"#!\xAF\x8A\xAA\xA2\x80\x7F\x01";
    const std::array<char, 5> sought = {'\n', '/', '*', '"', '\xAF'};
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, near.size() - 1);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string block(kBlockSize, '\0');
        for (char& byte : block)
            byte = round % 2 ? near[pick(random)] : static_cast<char>(anyByte(random));
        const auto found = MatchBlock(block.data(), sought);
        // Every vector path the processor has against the scalar reference.
        ASSERT_EQ(found, MatchBlockScalar(block.data(), sought)) << "round " << round;
        std::uint64_t any = 0;
        for (const std::uint64_t matches : found) any |= matches;
        EachPath([&](auto path) {
            ASSERT_EQ(decltype(path)::Match(block.data(), sought), found) << "round " << round;
            ASSERT_EQ(decltype(path)::MatchAny(block.data(), sought), any) << "round " << round;
        });
        ASSERT_EQ(HighBits(block.data()), HighBitsScalar(block.data())) << "round " << round;
        // Thresholds at both ends and across the sign bit.
        constexpr std::array<unsigned char, 6> thresholds{0x00, 0x01, 0x7F, 0x80, 0xC2, 0xFF};
        ASSERT_EQ(AtLeast(block.data(), thresholds), AtLeastScalar(block.data(), thresholds)) << "round " << round;
        for (std::size_t k = 0; k < sought.size(); ++k)
            ASSERT_EQ(found[k], Expected(block, sought[k])) << "round " << round << ", byte " << k;
    }
}

TEST(ChosenVectors, TakesTheNamedSetAndNoWiderOne) {
    const char* named = std::getenv("KEZURIN_VECTORS");
    if (named && std::string_view(named) == "sse2") {
        EXPECT_EQ(ChosenVectors(), Vectors::kSse2);
    }
    const Vectors chosen = ChosenVectors();
    EXPECT_EQ(UseVectors(Vectors::kScalar), Vectors::kScalar);
    EXPECT_EQ(UseVectors(chosen), chosen);
}

TEST(FindFirstOf, FindsTheFirstByteSoughtOnEveryPath) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pick(0, 7);
    const std::string bytes = "ab/\n\"\x81\xFC";
    std::string text;
    for (int i = 0; i < 300; ++i) text += pick(random) < 7 ? 'x' : bytes[static_cast<std::size_t>(pick(random))];
    const std::array<char, 3> sought = {'/', '\n', '\xFC'};
    EachPath([&](auto) {
        for (std::size_t from = 0; from <= text.size(); ++from)
            ASSERT_EQ(FindFirstOf(text, from, sought), text.find_first_of(std::string_view(sought.data(), 3), from))
                << "from " << from << " on path " << static_cast<int>(ChosenVectors());
    });
}

}  // namespace
}  // namespace kezurin::blocks
