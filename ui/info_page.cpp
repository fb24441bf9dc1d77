#include "info_page.hpp"

namespace kezurin {
namespace {

// Offset of the last single-byte character of `text` that is one of `bytes`,
// or npos. The walk goes from the start: only it can tell a lead byte's
// partner from a character of its own.
std::size_t FindLastCharacter(std::string_view text, std::string_view bytes, const CodePage& codePage) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (codePage.IsLeadByte(text[i])) {
            ++i;
        } else if (bytes.find(text[i]) != std::string_view::npos) {
            found = i;
        }
    }
    return found;
}

}  // namespace

std::string ProgramName(std::string_view path, const CodePage& codePage) {
    const std::size_t separator = FindLastCharacter(path, "\\:", codePage);
    std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
    const std::size_t dot = FindLastCharacter(name, ".", codePage);
    if (dot != std::string_view::npos) name = name.substr(0, dot);
    return std::string(name);
}

std::string InfoPageAddress(std::string_view path, const CodePage& codePage) {
    return std::string(kInfoPageAddressPrefix) + ProgramName(path, codePage);
}

}  // namespace kezurin
