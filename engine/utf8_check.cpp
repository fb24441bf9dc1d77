#include "kezurin/utf8_check.hpp"

#include <algorithm>
#include <cstring>

#include "kezurin/block_scan.hpp"

namespace kezurin {
namespace {

using blocks::kBlockSize;

// Checks one block after those before it, whose ends `carry` holds; false
// when the text is not UTF-8. A sequence is read off bit masks: every lead
// byte claims the next one to three bytes, and exactly the bytes claimed must
// be continuation bytes. A block shorter than 64 bytes is padded with zeros,
// which no sequence can claim, so a sequence cut off at the text's end fails.
bool CheckBlock(const char* block, Utf8Check::Carry& carry) {
    const std::uint64_t high = blocks::HighBits(block);
    if ((high | carry.continuations) == 0) return true;  // ASCII
    const auto [c0Up, c2Up, e0Up, f0Up, f5Up] =
        blocks::AtLeast(block, std::array<unsigned char, 5>{0xC0, 0xC2, 0xE0, 0xF0, 0xF5});
    const std::uint64_t continuation = high & ~c0Up;
    const std::uint64_t leads = c2Up & ~f5Up;
    const std::uint64_t longLeads = e0Up & ~f5Up;  // three and four bytes
    const std::uint64_t lead4 = f0Up & ~f5Up;
    const std::uint64_t claimed = (leads << 1) | (longLeads << 2) | (lead4 << 3) | carry.continuations;
    const bool strays = ((c0Up & ~c2Up) | f5Up) != 0;  // C0, C1, F5 to FF
    const Utf8Check::Carry before = carry;
    carry = {(leads >> 63) | (longLeads >> 62) | (lead4 >> 61)};
    if (claimed != continuation || strays) return false;
    // E0, ED, F0 and F4 narrow the range of the byte after them: no overlong
    // forms (after E0 and F0), no surrogates (after ED), nothing above U+10FFFF
    // (after F4). Rare in most text, so looked at only where a long lead stands.
    if ((longLeads | before.e0 | before.ed | before.f0 | before.f4) == 0) return true;
    const auto [e0, ed, f0, f4] = blocks::MatchBlock(block, std::array{'\xE0', '\xED', '\xF0', '\xF4'});
    carry.e0 = (e0 >> 63) != 0, carry.ed = (ed >> 63) != 0, carry.f0 = (f0 >> 63) != 0, carry.f4 = (f4 >> 63) != 0;
    const auto after = [](std::uint64_t bits, bool carried) { return (bits << 1) | std::uint64_t{carried}; };
    const std::uint64_t afterLow = after(e0, before.e0) | after(f0, before.f0);
    const std::uint64_t afterHigh = after(ed, before.ed) | after(f4, before.f4);
    if ((afterLow | afterHigh) == 0) return true;
    const auto [x90Up, xA0Up] = blocks::AtLeast(block, std::array<unsigned char, 2>{0x90, 0xA0});
    const std::uint64_t outOfRange = (after(e0, before.e0) & ~xA0Up) | (after(f0, before.f0) & ~x90Up) |
                                     (after(ed, before.ed) & xA0Up) | (after(f4, before.f4) & x90Up);
    return (outOfRange & continuation) == 0;
}

}  // namespace

void Utf8Check::Feed(std::string_view part) {
    if (pendingSize_ != 0) {
        const std::size_t taken = std::min(part.size(), blocks::kBlockSize - pendingSize_);
        std::memcpy(pending_ + pendingSize_, part.data(), taken);
        pendingSize_ += taken;
        part.remove_prefix(taken);
        if (pendingSize_ < blocks::kBlockSize) return;
        failed_ = failed_ || !CheckBlock(pending_, carry_);
        pendingSize_ = 0;
    }
    std::size_t at = 0;
    for (; part.size() - at >= blocks::kBlockSize && !failed_; at += blocks::kBlockSize)
        failed_ = !CheckBlock(part.data() + at, carry_);
    if (failed_) return;
    pendingSize_ = part.size() - at;
    if (pendingSize_ != 0) std::memcpy(pending_, part.data() + at, pendingSize_);
}

bool Utf8Check::Valid() const {
    if (failed_) return false;
    char last[blocks::kBlockSize] = {};
    std::memcpy(last, pending_, pendingSize_);
    Carry carry = carry_;
    return CheckBlock(last, carry) && carry.continuations == 0;
}

}  // namespace kezurin
