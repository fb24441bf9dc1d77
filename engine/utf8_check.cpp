#include "kezurin/utf8_check.hpp"

#include <algorithm>
#include <cstring>

#include "block_scan.hpp"

namespace kezurin {
namespace {

using detail::kBlockSize;

// Checks one block after those before it, whose ends `carry` holds; false
// when the text is not UTF-8. A sequence is read off bit masks: every lead
// byte claims the next one to three bytes, and exactly the bytes claimed must
// be continuation bytes. A block shorter than 64 bytes is padded with zeros,
// which no sequence can claim, so a sequence cut off at the text's end fails.
bool CheckBlock(const char* block, Utf8Check::Carry& carry) {
    if ((detail::HighBits(block) | carry.continuations) == 0) return true;  // ASCII
    const auto [continuation, below0xA0, below0x90, lead2, lead3, lead4, e0, ed, f0, f4] = detail::MatchRanges(
        block, std::array<detail::ByteRange, 10>{{{0x80, 0xBF}, {0x80, 0x9F}, {0x80, 0x8F}, {0xC2, 0xDF},
                                                  {0xE0, 0xEF}, {0xF0, 0xF4}, {0xE0, 0xE0}, {0xED, 0xED},
                                                  {0xF0, 0xF0}, {0xF4, 0xF4}}});
    const std::uint64_t leads = lead2 | lead3 | lead4;
    const std::uint64_t longLeads = lead3 | lead4;
    const std::uint64_t claimed = (leads << 1) | (longLeads << 2) | (lead4 << 3) | carry.continuations;
    const auto after = [](std::uint64_t bits, bool carried) { return (bits << 1) | std::uint64_t{carried}; };
    // Overlong forms (after E0 and F0), surrogates (after ED), above U+10FFFF (after F4).
    const std::uint64_t outOfRange = (after(e0, carry.e0) & below0xA0) |
                                     (after(ed, carry.ed) & continuation & ~below0xA0) |
                                     (after(f0, carry.f0) & below0x90) |
                                     (after(f4, carry.f4) & continuation & ~below0x90);
    const bool strays = (detail::HighBits(block) & ~(continuation | leads)) != 0;  // C0, C1, F5 to FF
    carry = {(leads >> 63) | (longLeads >> 62) | (lead4 >> 61), (e0 >> 63) != 0, (ed >> 63) != 0,
             (f0 >> 63) != 0, (f4 >> 63) != 0};
    return claimed == continuation && outOfRange == 0 && !strays;
}

}  // namespace

void Utf8Check::Feed(std::string_view part) {
    if (pendingSize_ != 0) {
        const std::size_t taken = std::min(part.size(), kBlockSize - pendingSize_);
        std::memcpy(pending_ + pendingSize_, part.data(), taken);
        pendingSize_ += taken;
        part.remove_prefix(taken);
        if (pendingSize_ < kBlockSize) return;
        failed_ = failed_ || !CheckBlock(pending_, carry_);
        pendingSize_ = 0;
    }
    std::size_t at = 0;
    for (; part.size() - at >= kBlockSize && !failed_; at += kBlockSize)
        failed_ = !CheckBlock(part.data() + at, carry_);
    if (failed_) return;
    pendingSize_ = part.size() - at;
    if (pendingSize_ != 0) std::memcpy(pending_, part.data() + at, pendingSize_);
}

bool Utf8Check::Valid() const {
    if (failed_) return false;
    char last[kBlockSize] = {};
    std::memcpy(last, pending_, pendingSize_);
    Carry carry = carry_;
    return CheckBlock(last, carry) && carry.continuations == 0;
}

bool IsValidUtf8(std::string_view text) {
    Utf8Check check;
    check.Feed(text);
    return check.Valid();
}

}  // namespace kezurin
