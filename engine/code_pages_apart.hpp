#pragma once

// Whether two code pages can make the rules read a line apart, for a removal
// that has yet to choose between them. Lead bytes count only where the rules
// ask whether a mark counts (the start of "//", "/*" or "*/", and a double
// quote in a line that holds "//"), and only an odd run of them hides a mark:
// an even run hides nothing, and the runs that a cut joins are sums of runs
// that stood before such places. So a line where neither code page has an odd
// run of lead bytes before such a place comes out the same under both.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "block_scan.hpp"
#include "kezurin/code_page.hpp"
#include "line_search.hpp"

namespace kezurin::detail {

// Where, in 64 bytes of a line, the rules ask whether a mark counts, from the
// marks of those bytes; `nextSlash` and `nextAsterisk`: the byte after them.
inline std::uint64_t AskedPlaces(std::uint64_t slashes, std::uint64_t asterisks, std::uint64_t quotes,
                                 bool nextSlash, bool nextAsterisk, bool holdsSlashPair) {
    const std::uint64_t slashAfter = (slashes >> 1) | (std::uint64_t{nextSlash} << 63);
    const std::uint64_t asteriskAfter = (asterisks >> 1) | (std::uint64_t{nextAsterisk} << 63);
    return (slashes & (slashAfter | asteriskAfter)) | (asterisks & slashAfter) | (holdsSlashPair ? quotes : 0);
}

// Whether an odd run of lead bytes of `a` or `b` stands before any of the
// places, bits of the 64 bytes of `line` from `offset` on.
inline bool OddLeadRunBeforeAny(std::string_view line, std::size_t offset, std::uint64_t places, const CodePage& a,
                                const CodePage& b) {
    for (; places != 0; places &= places - 1) {
        const std::size_t at = offset + static_cast<std::size_t>(std::countr_zero(places));
        for (const CodePage* page : {&a, &b})
            if (at > 0 && page->IsLeadByte(line[at - 1]) && LeadRunBefore(line, at, *page) % 2 != 0) return true;
    }
    return false;
}

// A line searched on its marks.
template <std::size_t kWords>
bool CodePagesCanDiffer(const MarksSearch<kWords>& search, const CodePage& a, const CodePage& b) {
    const auto nextBit = [](const auto& bits, std::size_t w) { return w + 1 < kWords && (bits[w + 1] & 1) != 0; };
    bool holdsSlashPair = false;
    for (std::size_t w = 0; w < kWords; ++w)
        holdsSlashPair = holdsSlashPair ||
                         (search.slashes[w] & ((search.slashes[w] >> 1) | (std::uint64_t{nextBit(search.slashes, w)} << 63))) != 0;
    for (std::size_t w = 0; w < kWords; ++w) {
        const std::uint64_t places = AskedPlaces(search.slashes[w], search.asterisks[w], search.quotes[w],
                                                 nextBit(search.slashes, w), nextBit(search.asterisks, w), holdsSlashPair);
        if (OddLeadRunBeforeAny(search.line, w * kBlockSize, places, a, b)) return true;
    }
    return false;
}

// Any line, of which `readable` bytes from its start may be read. Lead bytes
// are 0x81 and above, so only a mark right after such a byte can follow one:
// most lines hold none, and their blocks are passed over on that alone.
inline bool CodePagesCanDiffer(std::string_view line, std::size_t readable, const CodePage& a, const CodePage& b) {
    const bool holdsSlashPair = FindBytes(line, "//", 0) != std::string_view::npos;
    std::uint64_t highCarried = 0;
    char copy[kBlockSize];
    for (std::size_t offset = 0; offset < line.size(); offset += kBlockSize) {
        const char* const block = BlockAt(line, offset, readable, copy);
        const std::uint64_t inLine = InText(line.size() - offset);
        const std::uint64_t high = HighBits(block) & inLine;
        const std::uint64_t afterHigh = (high << 1) | highCarried;
        highCarried = high >> 63;
        if (afterHigh == 0) continue;
        const auto [slashes, asterisks, quotes] = MatchBlock(block, std::array{'/', '*', '"'});
        const std::size_t next = offset + kBlockSize;
        const std::uint64_t places = AskedPlaces(slashes & inLine, asterisks & inLine, quotes & inLine,
                                                 next < line.size() && line[next] == '/',
                                                 next < line.size() && line[next] == '*', holdsSlashPair);
        if (OddLeadRunBeforeAny(line, offset, places & afterHigh, a, b)) return true;
    }
    return false;
}

}  // namespace kezurin::detail
