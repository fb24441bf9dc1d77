#pragma once

// The walk over whole lines that takes each line through both passes at once:
// for a text that only passes through (TextRemoval) and for the run of an
// in-memory host whose progress no one watches (TextHost).

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "block_scan.hpp"
#include "kezurin/code_page.hpp"
#include "line_marks.hpp"
#include "line_removal.hpp"

namespace kezurin::detail {

// The marks of the line at `at` bytes into the 128 bytes of two blocks, from
// those blocks' marks, `length` (at most 64) bytes long.
inline std::uint64_t BitsAt(std::uint64_t low, std::uint64_t high, std::size_t at) {
    // Selected, not branched on: lines fall anywhere in a block.
    const bool inLow = at < 64;
    const std::uint64_t first = inLow ? low : high;
    const std::uint64_t second = inLow ? high : 0;
    const unsigned shift = at % 64;
    return (first >> shift) | ((second << 1) << (63 - shift));
}

// Just after the last line break among the line feeds of the block at
// `offset`, or `start` when none ends a line.
inline std::size_t EndOfLastLine(std::string_view text, std::size_t offset, std::uint64_t feeds,
                                 std::size_t start, bool lineFeedEnds) {
    while (feeds != 0) {
        const unsigned bit = 63 - static_cast<unsigned>(std::countl_zero(feeds));
        const std::size_t lf = offset + bit;
        if (lineFeedEnds || (lf > start && text[lf - 1] == '\r')) return lf + 1;
        feeds &= ~(std::uint64_t{1} << bit);
    }
    return start;
}

// Where any line feed ends a line, passes over the blocks from `offset` on
// that hold no slash, which is all that needs to be known of most blocks:
// every line that ends in them stays. Returns the first block with a slash.
template <class BlockAt, class Out>
std::size_t PassBlocksWithoutSlash(std::string_view text, std::size_t offset, const BlockAt& blockAt,
                                   std::size_t& start, Out& out) {
    std::size_t lastWithFeed = text.size();
    for (; offset < text.size(); offset += kBlockSize) {
        const auto [slash, feed] = BlockHolds(blockAt(offset), std::array{'/', '\n'});
        if (slash) break;
        if (feed) lastWithFeed = offset;
    }
    if (lastWithFeed != text.size()) {
        const std::uint64_t feeds = MatchBlock(blockAt(lastWithFeed), std::array{'\n'})[0];
        const std::size_t end = lastWithFeed + kBlockSize - static_cast<std::size_t>(std::countl_zero(feeds));
        out.UnchangedLines(text.data() + start, text.data() + end);
        start = end;
    }
    return offset;
}

// Removes the comments of `text`, whole lines each ending in its line break,
// handing each line's result to `out`:
// - out.UnchangedLine(start, length, breakLength): a line that stays;
// - out.CutLine(line, cut, breakLength): a line and what is left of it;
// - out.UnchangedLines(start, end): whole lines that stay, line breaks
//   included; only asked of an Out whose kTakesEveryLine is false, which
//   then gets unchanged lines in runs, not one by one.
template <class Out>
void RemoveCommentsOfWholeLines(std::string_view text, bool lineFeedEnds, bool& InBlockComment,
                                std::string& scratch, const CodePage& codePage, Out& out) {
    bool inComment = InBlockComment;  // kept here, where it can stay in a register
    std::size_t start = 0;
    bool openingCarried = false;  // the line so far, in blocks before, may open a comment
    // The last, short block is read from a copy padded with zeros, which
    // match none of the bytes sought.
    const std::size_t wholeBlocks = text.size() - text.size() % kBlockSize;
    char last[kBlockSize] = {};
    std::memcpy(last, text.data() + wholeBlocks, text.size() - wholeBlocks);
    const auto blockAt = [&](std::size_t offset) {
        return offset < wholeBlocks ? text.data() + offset : static_cast<const char*>(last);
    };
    // Asterisks and quotes are looked for only where a line may need them;
    // the block before is marked again if one of its lines does.
    std::array<std::uint64_t, 3> before{};
    bool beforeMarked = true;
    // The length of the line break that ends at the line feed at `lf`; 0 for
    // a lone LF that is part of the line.
    const auto breakLengthAt = [&](std::size_t lf) -> std::size_t {
        return lf > start && text[lf - 1] == '\r' ? 2 : lineFeedEnds ? 1 : 0;
    };
    for (std::size_t offset = 0; offset < text.size(); offset += kBlockSize) {
        const char* const block = blockAt(offset);
        const auto [feeds, slashes] = MatchBlock(block, std::array{'\n', '/'});
        if (slashes == 0 && !openingCarried && !inComment) {
            // Every line that ends in this block stays: most blocks of most texts.
            if constexpr (Out::kTakesEveryLine) {
                for (std::uint64_t rest = feeds; rest != 0; rest &= rest - 1) {
                    const std::size_t lf = offset + static_cast<std::size_t>(std::countr_zero(rest));
                    const std::size_t breakLength = breakLengthAt(lf);
                    if (breakLength == 0) continue;
                    out.UnchangedLine(text.data() + start, lf + 1 - breakLength - start, breakLength);
                    start = lf + 1;
                }
            } else {
                const std::size_t end = EndOfLastLine(text, offset, feeds, start, lineFeedEnds);
                out.UnchangedLines(text.data() + start, text.data() + end);
                start = end;
                // Where one block holds no slash, the next ones often hold none either.
                if (lineFeedEnds) offset = PassBlocksWithoutSlash(text, offset + kBlockSize, blockAt, start, out) - kBlockSize;
            }
            beforeMarked = false;
            continue;
        }
        const auto [asterisks, quotes] = MatchBlock(block, std::array{'*', '"'});
        // Where "//" or "/*" may begin. Outside a comment, a line without one
        // stays as it is. A slash at the block's end may begin one with the
        // next block's first byte.
        std::uint64_t openings = slashes & (((slashes | asterisks) >> 1) | (std::uint64_t{1} << 63));
        for (std::uint64_t rest = feeds; rest != 0; rest &= rest - 1) {
            const unsigned bit = static_cast<unsigned>(std::countr_zero(rest));
            const std::size_t lf = offset + bit;
            const std::size_t breakLength = breakLengthAt(lf);
            if (breakLength == 0) continue;
            const std::uint64_t upToEnd = ~(~std::uint64_t{1} << bit);  // bits 0 to `bit`
            const bool mayOpen = openingCarried || (openings & upToEnd) != 0;
            openings &= ~upToEnd;
            openingCarried = false;
            if (!mayOpen && !inComment) {
                out.UnchangedLine(text.data() + start, lf + 1 - breakLength - start, breakLength);
                start = lf + 1;
                continue;
            }
            const std::size_t end = lf + 1 - breakLength;
            const std::string_view line(text.data() + start, end - start);
            LineMarks marks;
            const bool marked = line.size() <= LineMarks::kMaxLength;
            if (marked && start >= offset) {
                marks = LineMarks{slashes >> (start - offset), asterisks >> (start - offset),
                                  quotes >> (start - offset)}
                            .Prefix(line.size());
            } else if (marked && start + kBlockSize >= offset) {
                if (!beforeMarked) {
                    before = MatchBlock(blockAt(offset - kBlockSize), std::array{'/', '*', '"'});
                    beforeMarked = true;
                }
                const std::size_t at = start + kBlockSize - offset;
                marks = LineMarks{BitsAt(before[0], slashes, at), BitsAt(before[1], asterisks, at),
                                  BitsAt(before[2], quotes, at)}
                            .Prefix(line.size());
            } else if (marked) {
                marks = MarkLine(line);  // begins two blocks back
            }
            out.CutLine(line, RemoveCommentsOfLine(line, marked ? &marks : nullptr, false, inComment, scratch, codePage),
                        breakLength);
            start = lf + 1;
        }
        openingCarried = openingCarried || openings != 0;
        before = {slashes, asterisks, quotes};
        beforeMarked = true;
    }
    InBlockComment = inComment;
}

}  // namespace kezurin::detail
