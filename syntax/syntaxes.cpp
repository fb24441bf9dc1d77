#include "kezurin/syntax/syntaxes.hpp"

#include <algorithm>

namespace kezurin::syntax {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool ListHolds(std::string_view list, std::string_view item) {
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        if (EqualsIgnoringCase(list.substr(start, comma - start), item)) return true;
        start = comma + 1;
    }
    return false;
}

}  // namespace

const Syntax* FindSyntax(std::string_view name) {
    for (const Syntax& syntax : kSyntaxes)
        if (syntax.name == name) return &syntax;
    return nullptr;
}

const Syntax* SyntaxForExtension(std::string_view extension) {
    if (extension.empty()) return nullptr;
    for (const Syntax& syntax : kSyntaxes)
        if (ListHolds(syntax.extensions, extension)) return &syntax;
    return nullptr;
}

}  // namespace kezurin::syntax
