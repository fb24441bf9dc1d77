#pragma once

// The walk over whole lines that takes each line through both passes at once,
// for a text that only passes through (TextRemoval). The vector scan only
// answers which lines hold nothing to cut; every other line goes to the rules.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kezurin/block_scan.hpp"
#include "kezurin/code_page.hpp"
#include "kezurin/line_breaks.hpp"
#include "line_removal.hpp"

namespace kezurin::detail {

// Just after the last line break among the line feeds of the block at
// `offset`, or `start` when none ends a line.
inline std::size_t EndOfLastLine(std::string_view text, std::size_t offset, std::uint64_t feeds,
                                 std::size_t start, LineBreaks breaks) {
    while (feeds != 0) {
        const unsigned bit = 63 - static_cast<unsigned>(std::countl_zero(feeds));
        if (BreakLengthAt(text, offset + bit, breaks) != 0) return offset + bit + 1;
        feeds &= ~(std::uint64_t{1} << bit);
    }
    return start;
}

// Where any line feed ends a line, passes over the blocks from `offset` on
// that hold no slash, which is all that needs to be known of most blocks:
// every line that ends in them stays. Returns the first block with a slash.
template <class Path, class Blocks, class Out>
std::size_t PassBlocksWithoutSlash(std::string_view text, std::size_t offset, const Blocks& blockAt,
                                   std::size_t& start, Out& out) {
    std::size_t lastWithFeed = text.size();
    for (; offset < text.size(); offset += blocks::kBlockSize) {
        const auto [slash, feed] = Path::Match(blockAt(offset), std::array{'/', '\n'});
        if (slash) break;
        if (feed) lastWithFeed = offset;
    }
    if (lastWithFeed != text.size()) {
        const std::uint64_t feeds = Path::Match(blockAt(lastWithFeed), std::array{'\n'})[0];
        const std::size_t end = lastWithFeed + blocks::kBlockSize - static_cast<std::size_t>(std::countl_zero(feeds));
        out.UnchangedLines(text.data() + start, text.data() + end);
        start = end;
    }
    return offset;
}

// Removes the comments of `text`, whole lines each ending in its line break,
// handing each line's result to `out`:
// - out.UnchangedLines(start, end): whole lines that stay, line breaks included;
// - out.CutLine(line, cut, breakLength): a line and what the rules left of it;
// - before that, out.Takes(line, search, startsInComment): false stops the
//   walk before the line.
// Returns where the walk stopped: text.size() once every line is taken.
// `Path`: the vector layer's path (block_scan.hpp).
template <class Path, class Out>
std::size_t RemoveCommentsOfWholeLines(std::string_view text, LineBreaks breaks, bool& InBlockComment,
                                std::string& scratch, const CodePage& codePage, Out& out) {
    bool inComment = InBlockComment;  // kept here, where it can stay in a register
    std::size_t start = 0;
    bool openingCarried = false;  // the line so far, in blocks before, may open a comment
    // The last, short block is read from a copy padded with zeros, which
    // match none of the bytes sought.
    char last[blocks::kBlockSize];
    const auto blockAt = [&](std::size_t offset) { return blocks::BlockAt(text, offset, text.size(), last); };
    for (std::size_t offset = 0; offset < text.size(); offset += blocks::kBlockSize) {
        const char* const block = blockAt(offset);
        const auto [feeds, slashes] = Path::Match(block, std::array{'\n', '/'});
        if (slashes == 0 && !openingCarried && !inComment) {
            // Every line that ends in this block stays: most blocks of most texts.
            const std::size_t end = EndOfLastLine(text, offset, feeds, start, breaks);
            out.UnchangedLines(text.data() + start, text.data() + end);
            start = end;
            // Where one block holds no slash, the next ones often hold none either.
            if (breaks == LineBreaks::CrLfOrLf)
                offset = PassBlocksWithoutSlash<Path>(text, offset + blocks::kBlockSize, blockAt, start, out) - blocks::kBlockSize;
            continue;
        }
        const std::uint64_t asterisks = Path::Match(block, std::array{'*'})[0];
        // Where "//" or "/*" may begin. Outside a comment, a line without one
        // has nothing to cut. A slash at the block's end may begin one with
        // the next block's first byte.
        std::uint64_t openings = slashes & (((slashes | asterisks) >> 1) | (std::uint64_t{1} << 63));
        for (std::uint64_t rest = feeds; rest != 0; rest &= rest - 1) {
            const unsigned bit = static_cast<unsigned>(std::countr_zero(rest));
            const std::size_t lf = offset + bit;
            const std::size_t breakLength = BreakLengthAt(text, lf, breaks);
            if (breakLength == 0) continue;
            const std::uint64_t upToEnd = ~(~std::uint64_t{1} << bit);  // bits 0 to `bit`
            const bool mayOpen = openingCarried || (openings & upToEnd) != 0;
            openings &= ~upToEnd;
            openingCarried = false;
            if (mayOpen || inComment) {
                const bool startsInComment = inComment;
                const std::string_view line(text.data() + start, lf + 1 - breakLength - start);
                LinePieces cut;
                bool taken;
                if (line.size() <= MarkedSearch::kMaxLength) {
                    const MarkedSearch search = MarkedSearch::Of<Path>(line, text.size() - start, codePage);
                    cut = RemoveCommentsOfLine(line, search, false, inComment, scratch);
                    taken = out.Takes(line, search, startsInComment);
                } else {
                    const ByteSearch search{line, codePage};
                    cut = RemoveCommentsOfLine(line, search, false, inComment, scratch);
                    taken = out.Takes(line, search, startsInComment);
                }
                if (!taken) {
                    InBlockComment = startsInComment;
                    return start;
                }
                out.CutLine(line, cut, breakLength);
            } else {
                out.UnchangedLines(text.data() + start, text.data() + lf + 1);
            }
            start = lf + 1;
        }
        openingCarried = openingCarried || openings != 0;
    }
    InBlockComment = inComment;
    return text.size();
}

}  // namespace kezurin::detail
