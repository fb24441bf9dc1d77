#include "code_page.hpp"

namespace kezurin {
namespace detail {

std::size_t LeadRunBefore(std::string_view text, std::size_t offset, const CodePage& codePage) {
    std::size_t run = 0;
    while (run < offset && codePage.IsLeadByte(text[offset - run - 1])) ++run;
    return run;
}

std::size_t FindFrom(std::string_view text, std::string_view pattern, std::size_t from,
                     const CodePage& codePage) {
    if (pattern.empty()) return std::string_view::npos;
    for (std::size_t at = text.find(pattern, from); at != std::string_view::npos;
         at = text.find(pattern, at + 1)) {
        if (LeadRunBefore(text, at, codePage) % 2 == 0) return at;
    }
    return std::string_view::npos;
}

}  // namespace detail

std::size_t FindPattern(std::string_view text, std::string_view pattern, const CodePage& codePage) {
    const std::size_t at = detail::FindFrom(text, pattern, 0, codePage);
    return at == std::string_view::npos ? 0 : at + 1;
}

}  // namespace kezurin
