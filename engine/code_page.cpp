#include "kezurin/code_page.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "kezurin/block_scan.hpp"
#include "find_pattern.hpp"

namespace kezurin {
namespace detail {

std::size_t FindBytes(std::string_view text, std::string_view pattern, std::size_t from) {
    // The patterns of the passes are one or two bytes long: memchr for the
    // first byte and a look at the next beats a general substring search.
    if (pattern.size() > 2) return text.find(pattern, from);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* at = begin + std::min(from, text.size());
    while (at < end) {
        const void* found = std::memchr(at, pattern[0], static_cast<std::size_t>(end - at));
        if (found == nullptr) break;
        at = static_cast<const char*>(found);
        if (pattern.size() == 1 || (at + 1 < end && at[1] == pattern[1]))
            return static_cast<std::size_t>(at - begin);
        ++at;
    }
    return std::string_view::npos;
}

std::size_t FindFrom(std::string_view text, std::string_view pattern, std::size_t from,
                     const CodePage& codePage) {
    if (pattern.empty()) return std::string_view::npos;
    for (std::size_t at = FindBytes(text, pattern, from); at != std::string_view::npos;
         at = FindBytes(text, pattern, at + 1)) {
        if (codePage.LeadRunBefore(text, at) % 2 == 0) return at;
    }
    return std::string_view::npos;
}

}  // namespace detail

std::size_t AsciiPrefixLength(std::string_view text) {
    std::size_t at = 0;
    for (; text.size() - at >= blocks::kBlockSize; at += blocks::kBlockSize) {
        if (const std::uint64_t high = blocks::HighBits(text.data() + at))
            return at + static_cast<std::size_t>(std::countr_zero(high));
    }
    while (at < text.size() && static_cast<unsigned char>(text[at]) < 0x80) ++at;
    return at;
}

}  // namespace kezurin
