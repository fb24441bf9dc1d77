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

#include "kezurin/block_scan.hpp"
#include "find_pattern.hpp"
#include "kezurin/code_page.hpp"

namespace kezurin::detail {

// Whether `a` and `b` can read apart the 64 bytes of `line` from `offset` on,
// from the masks of their marks: at the places where the rules ask whether a
// mark counts, among `candidates` (never the line's first byte, which no lead
// byte can stand before). A quote counts only in a line that holds "//",
// which is looked for last.
inline bool BlockCanDiffer(std::string_view line, std::size_t offset, std::uint64_t slashes, std::uint64_t asterisks,
                           std::uint64_t quotes, std::uint64_t candidates, const CodePage& a, const CodePage& b) {
    const std::size_t next = offset + blocks::kBlockSize;
    const auto nextIs = [&](char mark) { return std::uint64_t{next < line.size() && line[next] == mark} << 63; };
    const std::uint64_t slashAfter = (slashes >> 1) | nextIs('/');
    const std::uint64_t asteriskAfter = (asterisks >> 1) | nextIs('*');
    const std::uint64_t openers = (slashes & (slashAfter | asteriskAfter)) | (asterisks & slashAfter);
    for (std::uint64_t places = (openers | quotes) & candidates; places != 0; places &= places - 1) {
        const std::size_t at = offset + static_cast<std::size_t>(std::countr_zero(places));
        const bool oddRun = (a.IsLeadByte(line[at - 1]) && a.LeadRunBefore(line, at) % 2 != 0) ||
                            (b.IsLeadByte(line[at - 1]) && b.LeadRunBefore(line, at) % 2 != 0);
        if (oddRun && (line[at] != '"' || FindBytes(line, "//", 0) != std::string_view::npos)) return true;
    }
    return false;
}

// Whether code pages `a` and `b` can make the rules read `line` (without its
// line break) apart; `readable`: bytes from the line's start that may be read.
// Lead bytes are 0x81 and above, so only a mark right after such a byte can
// follow one: most lines hold none, and their blocks are passed over on that.
inline bool CodePagesCanDiffer(std::string_view line, std::size_t readable, const CodePage& a, const CodePage& b) {
    std::uint64_t highCarried = 0;
    char copy[blocks::kBlockSize];
    for (std::size_t offset = 0; offset < line.size(); offset += blocks::kBlockSize) {
        const char* const block = blocks::BlockAt(line, offset, readable, copy);
        const std::uint64_t inLine = blocks::InText(line.size() - offset);
        const std::uint64_t high = blocks::HighBits(block) & inLine;
        const std::uint64_t afterHigh = ((high << 1) | highCarried) & inLine;
        highCarried = high >> 63;
        if (afterHigh == 0) continue;
        // Marks beyond the line can only make a place more: never wrong.
        const auto [slashes, asterisks, quotes] = blocks::MatchBlock(block, std::array{'/', '*', '"'});
        if (BlockCanDiffer(line, offset, slashes, asterisks, quotes, afterHigh, a, b)) return true;
    }
    return false;
}

}  // namespace kezurin::detail
