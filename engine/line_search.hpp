#pragma once

// How the rules search a line, in two ways that give one answer. Find(pattern,
// from, piece) is the rules' search: the first occurrence of `pattern` at or
// after `from` that does not begin on the second byte of a double-byte
// character, lead bytes counted back to `piece`, where the piece searched
// begins. FindBytes is the occurrence byte for byte. The patterns are those of
// the rules: "//", "/*", "*/" and a double quote.
//
// - ByteSearch reads the bytes (memchr): any line.
// - MarkedSearch reads bit masks of where the line's slashes, asterisks and
//   double quotes stand, found by the vector layer: a line of at most 64
//   bytes costs a few instructions instead of library calls. Tests and the
//   fuzzer hold it to ByteSearch.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "kezurin/block_scan.hpp"
#include "find_pattern.hpp"
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

struct MarkedSearch {
    static constexpr std::size_t kMaxLength = blocks::kBlockSize;

    // The marks of `line`, at most kMaxLength bytes, read in place when
    // `readable` bytes from its start may be read, else from a padded copy.
    template <class Path = blocks::DefaultPath>
    static MarkedSearch Of(std::string_view line, std::size_t readable, const CodePage& codePage) {
        char copy[blocks::kBlockSize];
        const auto [slashes, asterisks, quotes] = Path::Match(blocks::BlockAt(line, 0, readable, copy), std::array{'/', '*', '"'});
        return MarkedSearch{line, codePage, slashes, asterisks, quotes}.Prefix(line.size());
    }

    std::string_view line;
    const CodePage& codePage;
    std::uint64_t slashes, asterisks, quotes;

    std::size_t FindBytes(std::string_view pattern, std::size_t from) const {
        const std::uint64_t starts = Starts(pattern) & From(from);
        return starts == 0 ? std::string_view::npos : static_cast<std::size_t>(std::countr_zero(starts));
    }
    std::size_t Find(std::string_view pattern, std::size_t from, std::size_t piece) const {
        for (std::uint64_t starts = Starts(pattern) & From(from); starts != 0; starts &= starts - 1) {
            const auto at = static_cast<std::size_t>(std::countr_zero(starts));
            if (at == piece || !codePage.IsLeadByte(line[at - 1])) return at;  // the usual case, inline
            if (codePage.LeadRunBefore(line.substr(piece), at - piece) % 2 == 0) return at;
        }
        return std::string_view::npos;
    }
    // The search of the line's first `length` bytes, at most all of them.
    MarkedSearch Prefix(std::size_t length) const {
        const std::uint64_t keep = blocks::InText(length);
        return {std::string_view(line.data(), length), codePage, slashes & keep, asterisks & keep, quotes & keep};
    }

private:
    static std::uint64_t From(std::size_t offset) { return offset < kMaxLength ? ~std::uint64_t{0} << offset : 0; }
    std::uint64_t Bits(char byte) const { return byte == '/' ? slashes : byte == '*' ? asterisks : quotes; }
    // Where `pattern` begins, byte for byte.
    std::uint64_t Starts(std::string_view pattern) const {
        return pattern.size() == 1 ? Bits(pattern[0]) : Bits(pattern[0]) & (Bits(pattern[1]) >> 1);
    }
};

}  // namespace kezurin::detail
