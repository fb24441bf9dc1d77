#pragma once

// --syntax css, scss and less. CSS has only /* */: // in CSS is never a
// comment (url(//cdn.example/a.png), grid-area: 1 // 2). SCSS and Less add //
// line comments, except inside strings, unquoted url(...) and SCSS's #{...}.
// Strings end at an unescaped line break; a backslash escapes the next
// character in code as in strings, so \/* opens no comment.

#include <array>

#include "kezurin/syntax/lexer.hpp"

namespace kezurin::syntax {

inline bool IsCssBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f'; }
// A byte of a name (an identifier).
inline bool IsNameByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c >= 0x80;
}
inline bool IsUrlName(std::string_view name) {
    return name.size() == 3 && (name[0] | 0x20) == 'u' && (name[1] | 0x20) == 'r' && (name[2] | 0x20) == 'l';
}

// url( followed by anything but a quote is a url token up to its ')', where
// nothing is a comment; what a CSS tokenizer does, line breaks included.
template <class Language>
struct CssFamily : Lexer<Language> {
    using Base = Lexer<Language>;
    using Base::Base;
    using typename Base::Mode;
    using typename Base::Resume;

    static constexpr char kCodeEscape = '\\';
    static constexpr std::string_view kOwnCodeBytes = "(";

    static constexpr LiteralForm String(std::string_view quote, std::string_view hole = {}) {
        return {.name = "string", .open = quote, .close = quote, .escape = '\\', .hole = hole};
    }
    static constexpr LiteralForm Url(std::string_view hole = {}) {
        return {.name = "url(", .close = ")", .escape = '\\', .multiline = true, .hole = hole};
    }

    std::size_t CodeByte(std::size_t found) {
        if (this->text_[found] != '(' || !IsUrlFunction(found)) return this->GenericCodeByte(found);
        urlLine_ = this->line_;
        this->mode_ = Mode::Own;
        return found + 1;
    }
    // After "url(": blanks, then a quote (a string, in code), ')' or the address.
    std::size_t OwnStep(std::size_t at) {
        const char c = this->text_[at];
        if (c == '\n') {
            this->NewLine();
            return at + 1;
        }
        if (IsCssBlank(c)) return at + 1;
        if (c == '"' || c == '\'' || c == ')') {
            this->BackToCode(at, true, Resume::AfterLiteral);
        } else {
            this->OpenLiteral(Language::kUrl);
            this->literalLine_ = urlLine_;
        }
        return at;
    }
    std::optional<OpenConstruct> OwnLeftOpen() const { return OpenConstruct{"url(", urlLine_}; }

    // Whether "url" stands right before `paren`, not the end of a longer name
    // (which an escaped character or a double-byte one would be part of).
    bool IsUrlFunction(std::size_t paren) const {
        const std::size_t name = paren - 3;
        if (paren < this->codeFrom_ + 3 || !IsUrlName(this->text_.substr(name, 3))) return false;
        if (name == this->codeFrom_) return this->codeFrom_ != this->escapeEnd_;
        return !IsNameByte(static_cast<unsigned char>(this->text_[name - 1])) && !this->IsSecondByte(name - 1);
    }

    std::uint64_t urlLine_ = 0;
};

struct CssLexer final : CssFamily<CssLexer> {
    using CssFamily::CssFamily;
    static constexpr std::string_view kLineComment{};
    enum : std::size_t { kUrl = 2 };
    static constexpr std::array kLiterals{String("\""), String("'"), Url()};
    static constexpr std::string_view kSecondBytesThatMatter = "\\";
};

struct ScssLexer final : CssFamily<ScssLexer> {
    using CssFamily::CssFamily;
    static constexpr std::string_view kCodeHole = "#{";
    static constexpr bool kLineCommentsInHoles = false;
    enum : std::size_t { kUrl = 2 };
    static constexpr std::array kLiterals{String("\"", "#{"), String("'", "#{"), Url("#{")};
    // And the brackets of #{...}, which a double-byte character can hide.
    static constexpr std::string_view kSecondBytesThatMatter = "\\{}";
};

struct LessLexer final : CssFamily<LessLexer> {
    using CssFamily::CssFamily;
    enum : std::size_t { kUrl = 2 };
    static constexpr std::array kLiterals{String("\""), String("'"), Url()};
    static constexpr std::string_view kSecondBytesThatMatter = "\\";
};


}  // namespace kezurin::syntax
