#pragma once

// Languages made only to hold the lexer framework to what the languages
// still to come need: nested block comments, multi-line literals with holes
// nested in them, a doubled close, and a translation before lexing.

#include <array>
#include <memory>

#include "kezurin/syntax/lexer.hpp"

namespace kezurin::syntax {

// Like Kotlin and C#: nested comments, "...${...}..." and """...${...}...""",
// 'c', and @"..." where "" stands for a quote.
struct NestingLexer final : Lexer<NestingLexer> {
    using Lexer::Lexer;
    static constexpr BlockCommentForm kBlockComment{"/*", "*/", true};
    static constexpr std::array kLiterals{
        LiteralForm{.name = "raw string", .open = "\"\"\"", .close = "\"\"\"", .multiline = true, .hole = "${"},
        LiteralForm{.name = "string", .open = "\"", .close = "\"", .escape = '\\', .hole = "${"},
        LiteralForm{.name = "character", .open = "'", .close = "'", .escape = '\\'},
        LiteralForm{.name = "verbatim string", .open = "@\"", .close = "\"", .multiline = true, .doubledClose = true},
    };
    static constexpr std::string_view kSecondBytesThatMatter = "\\{}@";
};

// Like Java: \uXXXX (any number of u) is read as the character it stands for
// before anything else; """ text blocks.
struct TranslatingLexer final : Lexer<TranslatingLexer> {
    using Lexer::Lexer;
    static constexpr char kTranslationByte = '\\';
    static constexpr std::array kLiterals{
        LiteralForm{.name = "text block", .open = "\"\"\"", .close = "\"\"\"", .escape = '\\', .multiline = true},
        LiteralForm{.name = "string", .open = "\"", .close = "\"", .escape = '\\'},
        LiteralForm{.name = "character", .open = "'", .close = "'", .escape = '\\'},
    };
    static constexpr std::string_view kSecondBytesThatMatter = "\\";

    // Beyond ASCII, a letter stands in for the character.
    static Char TranslateAt(std::string_view text, std::size_t at) {
        std::size_t digits = at + 1;
        while (digits < text.size() && text[digits] == 'u') ++digits;
        if (digits == at + 1 || text.size() - digits < 4) return {text[at], 1};
        unsigned value = 0;
        for (const char c : text.substr(digits, 4)) {
            const int digit = c >= '0' && c <= '9' ? c - '0' : (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1;
            if (digit < 0) return {text[at], 1};
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return {value < 0x80 ? static_cast<char>(value) : 'x', digits + 4 - at};
    }
    Char Read(std::size_t at) const { return text_[at] == '\\' ? TranslateAt(text_, at) : Char{text_[at], 1}; }
};

inline std::unique_ptr<Removal> MakeNestingRemoval(const CodePage& codePage, Removal::Sink sink) {
    return std::make_unique<NestingLexer>(codePage, std::move(sink));
}
inline std::unique_ptr<Removal> MakeTranslatingRemoval(const CodePage& codePage, Removal::Sink sink) {
    return std::make_unique<TranslatingLexer>(codePage, std::move(sink));
}

}  // namespace kezurin::syntax
