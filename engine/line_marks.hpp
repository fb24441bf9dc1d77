#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kezurin {

// Where the bytes that the passes look for stand in a line of at most 64
// bytes: bit i is set when byte i of the line is that byte. With them most
// lines are decided by a few instructions instead of searches.
struct LineMarks {
    static constexpr std::size_t kMaxLength = 64;

    std::uint64_t slashes = 0;
    std::uint64_t asterisks = 0;
    std::uint64_t quotes = 0;

    // Bit i set where the pair of bytes at i and i + 1 is "//", "/*" or "*/".
    std::uint64_t SlashPairs() const { return slashes & (slashes >> 1); }
    std::uint64_t Openers() const { return slashes & (asterisks >> 1); }
    std::uint64_t Closers() const { return asterisks & (slashes >> 1); }

    // The marks of the line's first `length` bytes.
    LineMarks Prefix(std::size_t length) const {
        const std::uint64_t keep = length >= kMaxLength ? ~std::uint64_t{0} : (std::uint64_t{1} << length) - 1;
        return {slashes & keep, asterisks & keep, quotes & keep};
    }

    std::size_t FirstSlash() const {
        return slashes == 0 ? std::string_view::npos
                            : static_cast<std::size_t>(std::countr_zero(slashes));
    }
};

// The marks of `line`, which must be at most LineMarks::kMaxLength bytes long.
LineMarks MarkLine(std::string_view line);

}  // namespace kezurin
