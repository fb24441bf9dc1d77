#pragma once

// --syntax c the slow, plain way, to check the real one against: the whole
// text at once, one character at a time, line splices skipped where they
// apply, the token being built kept as text. First every byte is marked code,
// comment or kept splice; then the output is made from the marks.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kezurin/code_page.hpp"
#include "kezurin/line_breaks.hpp"

namespace kezurin::reference {

class CSyntaxReference {
public:
    // `keep` picks the comments that stay, by their text.
    CSyntaxReference(std::string_view text, const CodePage& codePage,
                     std::function<bool(std::string_view)> keep = {})
        : t_(text), codePage_(codePage), kind_(text.size(), kCode), backslash_(text.size(), false), keep_(std::move(keep)) {}

    // Where each comment starts and ends, and whether it is a block comment, once Output has run.
    struct Comment {
        std::size_t start, end;
        bool block;
    };
    std::vector<Comment> comments;

    std::string Output() {
        Lex();
        return Write();
    }

private:
    enum Kind : char { kCode, kComment, kSplice };
    enum class Token { None, Number, Identifier, Suffix, AfterLiteral };

    static bool Digit(unsigned char c) { return c >= '0' && c <= '9'; }
    static bool Nondigit(unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
    }
    static bool Blank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

    std::size_t Break(std::size_t i) const {
        if (i < t_.size() && t_[i] == '\n') return 1;
        return i + 1 < t_.size() && t_[i] == '\r' && t_[i + 1] == '\n' ? 2 : 0;
    }
    // A character: one byte, or a lead byte and a byte of 0x40 or above.
    std::size_t Length(std::size_t i) const {
        return codePage_.IsLeadByte(t_[i]) && i + 1 < t_.size() && static_cast<unsigned char>(t_[i + 1]) >= 0x40 ? 2
                                                                                                                : 1;
    }
    static bool SpliceBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }
    // The end of the splice at i (a backslash, blanks, a line break), or 0.
    std::size_t Splice(std::size_t i) const {
        if (i >= t_.size() || t_[i] != '\\') return 0;
        std::size_t j = i + 1;
        while (j < t_.size() && SpliceBlank(t_[j])) ++j;
        return Break(j) > 0 ? j + Break(j) : 0;
    }
    // The first character at or after i that is not part of a splice.
    std::size_t Logical(std::size_t i) const {
        while (Splice(i)) i = Splice(i);
        return i;
    }
    // Skips the splices at i, marked as `kind`.
    std::size_t Over(std::size_t i, Kind kind) {
        while (Splice(i)) {
            const std::size_t end = Splice(i);
            for (; i < end; ++i) kind_[i] = kind;
        }
        return i;
    }
    void Mark(std::size_t from, std::size_t to, bool block) {
        comments.push_back({from, to, block});
        const Kind kind = keep_ && keep_(t_.substr(from, to - from)) ? kCode : kComment;
        for (; from < to; ++from) kind_[from] = kind;
    }

    void Lex() {
        std::size_t i = 0;
        while ((i = Over(i, kSplice)) < t_.size()) {
            const char c = t_[i];
            if (Break(i) > 0) {
                token_ = Token::None;
                i += Break(i);
            } else if (c == '/' && Logical(i + 1) < t_.size() && t_[Logical(i + 1)] == '/') {
                i = LineComment(i, Logical(i + 1) + 1);
            } else if (c == '/' && Logical(i + 1) < t_.size() && t_[Logical(i + 1)] == '*') {
                i = BlockComment(i, Logical(i + 1) + 1);
            } else if (c == '"' && token_ == Token::Identifier &&
                       (text_ == "R" || text_ == "LR" || text_ == "uR" || text_ == "UR" || text_ == "u8R") &&
                       RawString(i)) {
                i = raw_;
            } else if (c == '\'' && token_ == Token::Number && Logical(i + 1) < t_.size() &&
                       (Digit(t_[Logical(i + 1)]) || Nondigit(t_[Logical(i + 1)]))) {
                i = Over(i + 1, kSplice);
                last_ = t_[i];
                text_ += '\'';
                text_.append(t_.substr(i, Length(i)));
                i += Length(i);
            } else if (c == '"' || c == '\'') {
                i = Literal(i + 1, c);
            } else {
                Feed(i);
                i += Length(i);
            }
        }
    }

    // The character at i in code: it goes on the token, or starts a new one.
    void Feed(std::size_t i) {
        const auto c = static_cast<unsigned char>(t_[i]);
        backslash_[i] = c == '\\';
        const bool word = Digit(c) || Nondigit(c);
        const bool goesOn =
            (token_ == Token::Number &&
             (word || c == '.' || ((c == '+' || c == '-') && (last_ == 'e' || last_ == 'E' || last_ == 'p' || last_ == 'P')))) ||
            ((token_ == Token::Identifier || token_ == Token::Suffix) && word);
        if (!goesOn) {
            text_.clear();
            const std::size_t next = Logical(i + 1);
            if (Digit(c) || (c == '.' && next < t_.size() && Digit(t_[next]))) {
                token_ = Token::Number;
            } else if (Nondigit(c)) {
                token_ = token_ == Token::AfterLiteral ? Token::Suffix : Token::Identifier;
            } else {
                token_ = Token::None;
            }
        }
        last_ = static_cast<char>(c);
        text_.append(t_.substr(i, Length(i)));
    }

    std::size_t LineComment(std::size_t start, std::size_t i) {
        while ((i = Over(i, kComment)) < t_.size() && Break(i) == 0) i += Length(i);
        Mark(start, i, false);
        token_ = Token::None;
        return i;
    }

    std::size_t BlockComment(std::size_t start, std::size_t i) {
        bool star = false;
        while ((i = Over(i, kComment)) < t_.size()) {
            if (t_[i] == '/' && star) {
                ++i;
                break;
            }
            star = t_[i] == '*';
            i += Break(i) > 0 ? Break(i) : Length(i);
        }
        Mark(start, i, true);
        token_ = Token::None;
        return i;
    }

    // From the opening quote at q: a raw string whose end is then in raw_, or false.
    bool RawString(std::size_t q) {
        std::size_t open = q + 1;
        while (open < t_.size() && open - q - 1 < 16 && t_[open] > ' ' && t_[open] < 0x7F && t_[open] != '(' &&
               t_[open] != ')' && t_[open] != '\\')
            ++open;
        if (open >= t_.size() || t_[open] != '(') return false;
        std::string end(t_.substr(q, open - q + 1));  // "delimiter( becomes )delimiter"
        end.front() = ')';
        end.back() = '"';
        const std::size_t found = t_.find(end, open + 1);
        raw_ = found == std::string_view::npos ? t_.size() : found + end.size();
        token_ = Token::AfterLiteral;
        return true;
    }

    std::size_t Literal(std::size_t i, char quote) {
        token_ = Token::None;
        while ((i = Over(i, kSplice)) < t_.size() && Break(i) == 0) {
            if (t_[i] == quote) {
                token_ = Token::AfterLiteral;
                return i + 1;
            }
            if (t_[i] == '\\') {
                i = Over(i + 1, kSplice);
                if (i >= t_.size() || Break(i) > 0) break;
            }
            i += Length(i);
        }
        return i;
    }

    std::string Write() const {
        std::string out;
        bool nonBlank = false;       // the line's output so far ends in something other than a blank
        // 1: ... or in a backslash and blanks, which a line break would splice; 2: and a CR
        int backslashTail = 0;
        for (std::size_t i = 0; i < t_.size();) {
            if (kind_[i] == kSplice) {
                backslashTail = 0;
                out += t_[i++];
            } else if (kind_[i] == kCode) {
                nonBlank = !Blank(t_[i]) && t_[i] != '\n';
                backslashTail = backslash_[i]                           ? 1
                                : backslashTail == 1 && SpliceBlank(t_[i]) ? 1
                                : backslashTail == 1 && t_[i] == '\r'      ? 2
                                                                           : 0;
                out += t_[i++];
            } else {
                const bool guard = backslashTail != 0;
                if (guard) out += "/**/";
                backslashTail = 0;
                bool broken = guard;
                for (; i < t_.size() && kind_[i] == kComment; ++i) {
                    if (t_[i] == '\n' || (t_[i] == '\r' && Break(i) == 2)) {
                        out += t_[i];
                        broken = true;
                    }
                }
                if (!broken && nonBlank && i < t_.size() && !Blank(t_[i]) && t_[i] != '\n') out += ' ';
                if (broken || (nonBlank && i < t_.size() && !Blank(t_[i]) && t_[i] != '\n')) nonBlank = false;
            }
        }
        return out;
    }

    std::string_view t_;
    CodePage codePage_;
    std::vector<Kind> kind_;
    std::vector<bool> backslash_;  // a backslash of its own in the code
    Token token_ = Token::None;
    std::string text_;  // the token so far
    char last_ = 0;     // first byte of its last character
    std::size_t raw_ = 0;
    std::function<bool(std::string_view)> keep_;
};

inline std::string CSyntaxOutput(std::string_view text, const CodePage& codePage) {
    return CSyntaxReference(text, codePage).Output();
}

}  // namespace kezurin::reference
