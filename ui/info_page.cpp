#include "info_page.hpp"
#include "characters.hpp"

namespace kezurin {
namespace {

// Offset of the last single-byte character of `text` that is one of `bytes`, or npos.
std::size_t FindLastCharacter(std::string_view text, std::string_view bytes, const CodePage& codePage) {
    std::size_t found = std::string_view::npos;
    ForEachCharacter(text, codePage, [&](std::size_t at, std::size_t length) {
        if (length == 1 && bytes.find(text[at]) != std::string_view::npos) found = at;
    });
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
