#pragma once

// --syntax json: JSON with comments (tsconfig, editor settings) and JSON5.
// A string ends at its quote only where no escape takes it ("C:\\",
// "\"//\""); JSON5's single-quoted strings are strings too, which valid JSON
// never meets outside a string.

#include <array>

#include "kezurin/syntax/lexer.hpp"

namespace kezurin::syntax {

struct JsonLexer final : Lexer<JsonLexer> {
    using Lexer::Lexer;

    // An escape takes any character, a line break too (JSON5's continued lines).
    static constexpr std::array kLiterals{
        LiteralForm{.name = "string", .open = "\"", .close = "\"", .escape = '\\'},
        LiteralForm{.name = "string", .open = "'", .close = "'", .escape = '\\'},
    };
    static constexpr std::string_view kSecondBytesThatMatter = "\\";
};


}  // namespace kezurin::syntax
