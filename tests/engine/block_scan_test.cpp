#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "kezurin/block_scan.hpp"

namespace kezurin::blocks {
namespace {

std::uint64_t Expected(const std::string& block, char byte) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < block.size(); ++i) bits |= std::uint64_t{block[i] == byte} << i;
    return bits;
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
        // The vector path, where there is one, against the scalar reference.
        ASSERT_EQ(found, MatchBlockScalar(block.data(), sought)) << "round " << round;
        ASSERT_EQ(HighBits(block.data()), HighBitsScalar(block.data())) << "round " << round;
        // Thresholds at both ends and across the sign bit.
        constexpr std::array<unsigned char, 6> thresholds{0x00, 0x01, 0x7F, 0x80, 0xC2, 0xFF};
        ASSERT_EQ(AtLeast(block.data(), thresholds), AtLeastScalar(block.data(), thresholds)) << "round " << round;
        for (std::size_t k = 0; k < sought.size(); ++k)
            ASSERT_EQ(found[k], Expected(block, sought[k])) << "round " << round << ", byte " << k;
    }
}

}  // namespace
}  // namespace kezurin::blocks
