#include "input_text.hpp"

#include <algorithm>

namespace kezurin::cli {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::optional<Encoding> ParseEncoding(std::string_view name) {
    if (EqualsIgnoringCase(name, "auto")) return Encoding::Auto;
    if (EqualsIgnoringCase(name, "cp932")) return Encoding::Cp932;
    if (EqualsIgnoringCase(name, "utf-8") || EqualsIgnoringCase(name, "utf8")) return Encoding::Utf8;
    return std::nullopt;
}

CodePage AutoCodePage(bool validUtf8) { return validUtf8 ? CodePage{} : kShiftJis; }

std::optional<CodePage> NamedCodePage(Encoding encoding) {
    switch (encoding) {
        case Encoding::Cp932:
            return kShiftJis;
        case Encoding::Utf8:
            return CodePage{};
        case Encoding::Auto:
            break;
    }
    return std::nullopt;
}

}  // namespace kezurin::cli
