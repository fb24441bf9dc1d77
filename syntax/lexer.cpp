#include "kezurin/syntax/lexer.hpp"

namespace kezurin::syntax {

std::size_t PlaceWhereCodePageMatters(std::string_view text, const CodePage& other, std::string_view secondBytes) {
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
        at += AsciiPrefixLength(text.substr(at));
        if (at + 1 >= text.size()) break;
        if (other.IsLeadByte(text[at]) && secondBytes.find(text[at + 1]) != std::string_view::npos) return at;
    }
    return kNone;
}

}  // namespace kezurin::syntax
