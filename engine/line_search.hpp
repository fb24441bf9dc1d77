#pragma once

// How the rules search a line, in two ways that give one answer. Find(pattern,
// from, piece) is the rules' search: the first occurrence of `pattern` at or
// after `from` that does not begin on the second byte of a double-byte
// character, lead bytes counted back to `piece`, where the piece searched
// begins. FindBytes is the occurrence byte for byte. The patterns are those of
// the rules: "//", "/*", "*/" and a double quote.
//
// - ByteSearch reads the bytes (memchr): any line.
// - MarkedSearch (WideMarkedSearch) reads bit masks of where the line's
//   slashes, asterisks and double quotes stand, found by the vector layer: a
//   line of at most 64 (128) bytes costs a few instructions instead of
//   library calls. Tests and the fuzzer hold both to ByteSearch.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "block_scan.hpp"
#include "kezurin/code_page.hpp"

namespace kezurin::detail {

struct ByteSearch {
    std::string_view line;
    const CodePage& codePage;

    std::size_t FindBytes(std::string_view pattern, std::size_t from) const {
        return detail::FindBytes(line, pattern, from);
    }
    std::size_t Find(std::string_view pattern, std::size_t from, std::size_t piece) const {
        const std::size_t at = FindFrom(line.substr(piece), pattern, from - piece, codePage);
        return at == std::string_view::npos ? at : piece + at;
    }
    // The search of the line's first `length` bytes, at most all of them.
    ByteSearch Prefix(std::size_t length) const { return {std::string_view(line.data(), length), codePage}; }
};

// The marks of a line of at most 64 * kWords bytes, word w holding bytes
// 64w to 64w + 63.
template <std::size_t kWords>
struct MarksSearch {
    static constexpr std::size_t kMaxLength = kBlockSize * kWords;
    using Bits = std::array<std::uint64_t, kWords>;

    // The marks of `line`, at most kMaxLength bytes, read in place where
    // `readable` bytes from its start may be read, else from a padded copy.
    static MarksSearch Of(std::string_view line, std::size_t readable, const CodePage& codePage) {
        MarksSearch search{line, codePage, {}, {}, {}};
        char copy[kBlockSize];
        for (std::size_t w = 0; w < kWords && w * kBlockSize < line.size(); ++w) {
            const auto [slashes, asterisks, quotes] =
                MatchBlock(BlockAt(line, w * kBlockSize, readable, copy), std::array{'/', '*', '"'});
            search.slashes[w] = slashes;
            search.asterisks[w] = asterisks;
            search.quotes[w] = quotes;
        }
        return search.Prefix(line.size());
    }

    std::string_view line;
    const CodePage& codePage;
    Bits slashes, asterisks, quotes;

    std::size_t FindBytes(std::string_view pattern, std::size_t from) const {
        for (std::size_t w = 0; w < kWords; ++w)
            if (const std::uint64_t starts = Starts(pattern, w) & From(from, w)) return At(w, starts);
        return std::string_view::npos;
    }
    std::size_t Find(std::string_view pattern, std::size_t from, std::size_t piece) const {
        for (std::size_t w = 0; w < kWords; ++w) {
            for (std::uint64_t starts = Starts(pattern, w) & From(from, w); starts != 0; starts &= starts - 1) {
                const std::size_t at = At(w, starts);
                if (at == piece || !codePage.IsLeadByte(line[at - 1])) return at;  // the usual case, inline
                if (LeadRunBefore(line.substr(piece), at - piece, codePage) % 2 == 0) return at;
            }
        }
        return std::string_view::npos;
    }
    // The search of the line's first `length` bytes, at most all of them.
    MarksSearch Prefix(std::size_t length) const {
        Bits prefixSlashes, prefixAsterisks, prefixQuotes;
        for (std::size_t w = 0; w < kWords; ++w) {
            const std::uint64_t keep = ~From(length, w);
            prefixSlashes[w] = slashes[w] & keep;
            prefixAsterisks[w] = asterisks[w] & keep;
            prefixQuotes[w] = quotes[w] & keep;
        }
        return {std::string_view(line.data(), length), codePage, prefixSlashes, prefixAsterisks, prefixQuotes};
    }

private:
    static std::size_t At(std::size_t w, std::uint64_t bits) {
        return w * kBlockSize + static_cast<std::size_t>(std::countr_zero(bits));
    }
    // The bits of word w from `offset` on.
    static std::uint64_t From(std::size_t offset, std::size_t w) {
        const std::size_t wordStart = w * kBlockSize;
        if (offset < wordStart) return ~std::uint64_t{0};
        return offset - wordStart < kBlockSize ? ~std::uint64_t{0} << (offset - wordStart) : 0;
    }
    const Bits& Of(char byte) const { return byte == '/' ? slashes : byte == '*' ? asterisks : quotes; }
    // Where `pattern` begins in word w, byte for byte.
    std::uint64_t Starts(std::string_view pattern, std::size_t w) const {
        const std::uint64_t first = Of(pattern[0])[w];
        if (pattern.size() == 1) return first;
        const Bits& second = Of(pattern[1]);
        const std::uint64_t next = w + 1 < kWords ? second[w + 1] << 63 : 0;
        return first & ((second[w] >> 1) | next);
    }
};

// A line of one block, whose marks the walk often has already, and one of two.
using MarkedSearch = MarksSearch<1>;
using WideMarkedSearch = MarksSearch<2>;

}  // namespace kezurin::detail
