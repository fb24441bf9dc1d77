// --syntax c: comments by the lexical rules of C23 and C++23. String and
// character literals (prefixes L, u, U, u8), raw strings, digit separators
// and line splices are lexed as a compiler lexes them. Apart from the
// window's removal on purpose: that one keeps its own, simpler rules.

#include <algorithm>
#include <array>
#include <string>

#include "kezurin/syntax/lexer.hpp"
#include "kezurin/syntax/syntaxes.hpp"

namespace kezurin::syntax {
namespace {

constexpr std::size_t kMaxRawDelimiter = 16;
constexpr unsigned char kLowestSecondByte = 0x40;

// Blanks that may stand between a splice's backslash and its line break, as
// compilers accept (and C++23 asks).
bool IsSpliceBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// Letters, '_', '$' and every byte of a character beyond ASCII.
bool IsNondigit(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}
bool IsWordByte(unsigned char c) { return IsDigit(c) || IsNondigit(c); }
bool IsExponent(unsigned char c) { return c == 'e' || c == 'E' || c == 'p' || c == 'P'; }
// A byte that ends every identifier and number and starts none. All are below
// 0x40, so none is ever the second byte of a character.
bool EndsEveryWord(unsigned char c) {
    return c < kLowestSecondByte && !IsDigit(c) && c != '$' && c != '.' && c != '+' && c != '-' && c != '\'';
}
bool IsRawDelimiterByte(unsigned char c) { return c > ' ' && c < 0x7F && c != '(' && c != ')' && c != '\\'; }

// How far a run of identifier and number characters has got, as far as
// comments care: whether a quote after it opens a raw string, and whether a '
// in it separates digits.
enum class Word : std::uint8_t {
    Outside, AfterLiteral, Dot, Number, NumberExponent,
    PrefixL, PrefixLowerU, PrefixUpperU, PrefixU8, RawPrefix, Identifier
};

Word StartWord(unsigned char c) {
    if (IsDigit(c)) return Word::Number;
    switch (c) {
        case '.': return Word::Dot;
        case 'L': return Word::PrefixL;
        case 'u': return Word::PrefixLowerU;
        case 'U': return Word::PrefixUpperU;
        case 'R': return Word::RawPrefix;
        default: return IsNondigit(c) ? Word::Identifier : Word::Outside;
    }
}

// The word after a character whose first byte is `c`; a ' inside a number
// comes here only as a digit separator.
Word NextWord(Word word, unsigned char c) {
    switch (word) {
        case Word::Number:
        case Word::NumberExponent:
            if (IsWordByte(c) || c == '.' || c == '\'') return IsExponent(c) ? Word::NumberExponent : Word::Number;
            if ((c == '+' || c == '-') && word == Word::NumberExponent) return Word::Number;
            break;
        case Word::PrefixLowerU:
            if (c == '8') return Word::PrefixU8;
            [[fallthrough]];
        case Word::PrefixL:
        case Word::PrefixUpperU:
        case Word::PrefixU8:
            if (c == 'R') return Word::RawPrefix;
            [[fallthrough]];
        case Word::RawPrefix:
        case Word::Identifier:
            if (IsWordByte(c)) return Word::Identifier;
            break;
        case Word::Dot:
            if (IsDigit(c)) return Word::Number;
            break;
        case Word::AfterLiteral:
            if (IsNondigit(c)) return Word::Identifier;  // a user-defined literal's suffix
            break;
        case Word::Outside:
            break;
    }
    return StartWord(c);
}

struct CLexer final : Lexer<CLexer> {
    using Lexer::Lexer;

    enum : std::size_t { kString, kCharacter, kRaw };
    static constexpr std::array kLiterals{
        LiteralForm{.name = "string", .open = "\"", .close = "\"", .escape = '\\'},
        LiteralForm{.name = "character literal", .open = "'", .close = "'", .escape = '\\'},
        LiteralForm{.name = "raw string", .closeStart = ')', .multiline = true},  // R"x( to )x"
    };
    // Punctuation, a backslash, or an exponent letter that lets a sign into a number.
    static constexpr std::string_view kSecondBytesThatMatter = "@[\\]^`{|}~eEpP";

    // ---- hooks ----

    std::size_t CodeByte(std::size_t found) {
        switch (text_[found]) {
            case '/': return GenericCodeByte(found);
            case '"': return DoubleQuote(found);
            default: return SingleQuote(found);
        }
    }

    void CodeBreak(std::size_t lf) {
        if (const std::size_t backslash = SpliceBefore(lf, codeFrom_); backslash != kNone) {
            WordAt(backslash);  // a splice: the word and the line's output go on after it
        } else {
            word_ = Word::Outside;
            joinable_ = false;
        }
        codeFrom_ = lf + 1;
    }

    std::size_t NotAComment(std::size_t at, bool merged) {
        const std::size_t end = SpliceEnd(at + 1);
        if (end == 0) return Lexer::NotAComment(at, merged);
        // Whether this '/' opens a comment is known only on a later line.
        heldSpace_ = merged;
        heldGuard_ = BackslashTailAt(at);
        heldLine_ = line_;
        Emit(text_.substr(emitFrom_, at - emitFrom_));
        held_.assign(text_.substr(at, end - at));
        emitFrom_ = end;
        Enter(Own::SlashHeld);
        return PassSplice(end);
    }

    bool ContinuesLineComment(std::size_t lf) const { return SpliceBefore(lf, bodyFrom_) != kNone; }
    // Taking out a comment after a backslash and blanks would make a splice.
    bool GuardBefore(std::size_t at) const { return BackslashTailAt(at); }

    std::size_t EscapeEnd(std::size_t backslash) {
        if (const std::size_t end = SpliceEnd(backslash)) return PassSplice(end);
        Enter(Own::LiteralEscape);
        return backslash + 1;
    }

    void Resumed(Resume resume) {
        word_ = resume == Resume::AfterLiteral ? Word::AfterLiteral : Word::Outside;
        starBefore_ = false;
    }

    std::size_t OwnStep(std::size_t at) {
        switch (own_) {
            case Own::SlashHeld: return SlashStep(at);
            case Own::QuoteAfterNumber: return QuoteAfterNumberStep(at);
            case Own::LiteralEscape: return LiteralEscapeStep(at);
        }
        return at + 1;
    }
    bool HoldsOutput() const { return mode_ == Mode::Own && own_ == Own::SlashHeld; }
    void FinishOwn() {
        if (!HoldsOutput()) return;
        // The text ends after a '/' and splices: code.
        if (heldSpace_) EmitByte(' ');
        Emit(held_);
        held_.clear();
    }
    std::optional<OpenConstruct> OwnLeftOpen() const {
        if (own_ != Own::LiteralEscape) return std::nullopt;
        return OpenConstruct{kLiterals[literal_].name, literalLine_};
    }

    // Splices: a '/' before "*\" and a line break may close.
    std::size_t BlockCommentStep(std::size_t at) {
        const std::size_t found = FindFirstOf(text_, at, std::array{'/', '\n'});
        if (found == kNone) return text_.size();
        if (text_[found] == '/') {
            const bool afterStar = found > bodyFrom_ ? text_[found - 1] == '*' : starBefore_;
            return afterStar ? CloseBlockComment(found + 1) : found + 1;
        }
        if (const std::size_t backslash = SpliceBefore(found, bodyFrom_); backslash != kNone) {
            if (backslash > bodyFrom_) starBefore_ = text_[backslash - 1] == '*';
        } else {
            starBefore_ = false;
        }
        EmitBreakOfComment(found);
        return found + 1;
    }

    // ---- C's own ----

    enum class Own : std::uint8_t { SlashHeld, QuoteAfterNumber, LiteralEscape };
    void Enter(Own own) {
        mode_ = Mode::Own;
        own_ = own;
    }
    void BackToCodeWith(std::size_t at, Word word, bool joinable) {
        BackToCode(at, joinable, Resume::AfterComment);
        word_ = word;
    }
    std::size_t PassSplice(std::size_t end) {
        NewLine();
        return end;
    }

    std::size_t SlashStep(std::size_t at) {
        if (const std::size_t end = SpliceEnd(at)) {
            held_.append(text_.substr(at, end - at));
            emitFrom_ = end;
            return PassSplice(end);
        }
        if (text_[at] == '/' || text_[at] == '*') {
            // A comment after all: of what was held only the line breaks stay.
            const CommentForm form = text_[at] == '*' ? CommentForm::Block : CommentForm::Line;
            BeginComment(form, heldLine_, heldGuard_, false, heldSpace_, held_, at);
            held_.clear();
            bodyFrom_ = at + 1;
            return at + 1;
        }
        if (heldSpace_) EmitByte(' ');
        Emit(held_);
        held_.clear();
        BackToCodeWith(at, Word::Outside, true);
        emitFrom_ = at;
        return at;
    }

    std::size_t DoubleQuote(std::size_t at) {
        const bool mayBeRaw = at > codeFrom_ ? text_[at - 1] == 'R' : word_ == Word::RawPrefix;
        if (mayBeRaw && WordAt(at) == Word::RawPrefix) {
            // The delimiter stands on the same line: no splice applies inside it.
            const std::size_t first = at + 1;
            const std::size_t limit = std::min(text_.size(), first + kMaxRawDelimiter + 1);
            std::size_t open = first;
            while (open < limit && IsRawDelimiterByte(static_cast<unsigned char>(text_[open]))) ++open;
            if (open < limit && text_[open] == '(') {
                close_.assign(text_.substr(first - 1, open - first + 2));  // "delimiter(, to become )delimiter"
                close_.front() = ')';
                close_.back() = '"';
                OpenLiteral(kRaw);
                return open + 1;
            }
        }
        OpenLiteral(kString);
        return at + 1;
    }

    std::size_t SingleQuote(std::size_t at) {
        const Word word = WordAt(at);
        if (word == Word::Number || word == Word::NumberExponent) {
            const std::size_t next = at + 1;
            if (next < text_.size() && IsWordByte(static_cast<unsigned char>(text_[next]))) return next;  // 1'000
            if (const std::size_t end = SpliceEnd(next)) {
                Enter(Own::QuoteAfterNumber);
                return PassSplice(end);
            }
        }
        OpenLiteral(kCharacter);
        return at + 1;
    }

    std::size_t QuoteAfterNumberStep(std::size_t at) {
        if (const std::size_t end = SpliceEnd(at)) return PassSplice(end);
        if (IsWordByte(static_cast<unsigned char>(text_[at]))) {
            BackToCodeWith(at, Word::Number, true);
        } else {
            OpenLiteral(kCharacter);
        }
        return at;
    }

    std::size_t LiteralEscapeStep(std::size_t at) {
        if (const std::size_t end = SpliceEnd(at)) return PassSplice(end);
        if (BreakLength(text_, at) > 0) {
            BackToCodeWith(at, Word::Outside, false);
            return at;
        }
        mode_ = Mode::Literal;
        return at + CharLength(at);
    }

    // The word in progress at `at`, worked out from the last byte before it that
    // ends every word; `at` becomes the start of the code.
    Word WordAt(std::size_t at) {
        joinable_ = JoinableAt(at);
        std::size_t from = at;
        while (from > codeFrom_ && !EndsEveryWord(static_cast<unsigned char>(text_[from - 1]))) --from;
        Word word = from > codeFrom_ ? Word::Outside : word_;
        for (; from < at; from += CharLength(from)) word = NextWord(word, static_cast<unsigned char>(text_[from]));
        word_ = word;
        codeFrom_ = at;
        return word;
    }

    bool IsBackslash(std::size_t at) const { return text_[at] == '\\' && !IsSecondByte(at); }

    // The end of the splice (a backslash and a line break) at `at`; 0 when there is none.
    std::size_t SpliceEnd(std::size_t at) const {
        if (at >= text_.size() || !IsBackslash(at)) return 0;
        std::size_t end = at + 1;
        while (end < text_.size() && IsSpliceBlank(text_[end])) ++end;
        const std::size_t length = BreakLength(text_, end);
        return length == 0 ? 0 : end + length;
    }

    // The backslash of the splice that ends with the LF at `lf`, at `from` or
    // after it; kNone when the line break is no splice.
    std::size_t SpliceBefore(std::size_t lf, std::size_t from) const {
        std::size_t at = BreakStart(text_, lf);
        while (at > from && IsSpliceBlank(text_[at - 1])) --at;
        return at > from && IsBackslash(at - 1) ? at - 1 : kNone;
    }

    // Whether the line's output before `at`, in the code, ends in a backslash and
    // blanks (and perhaps a CR): taking out a comment there would make a splice.
    bool BackslashTailAt(std::size_t at) const {
        if (at > codeFrom_ && text_[at - 1] == '\r') --at;
        while (at > codeFrom_ && IsSpliceBlank(text_[at - 1])) --at;
        return at > codeFrom_ && IsBackslash(at - 1);
    }

    Own own_ = Own::SlashHeld;
    // At codeFrom_: the word in progress.
    Word word_ = Word::Outside;
    bool starBefore_ = false;  // a block comment's line ended in '*' and a splice
    std::string held_;         // a '/' and the splices after it, until what follows decides
    std::uint64_t heldLine_ = 0;
    bool heldSpace_ = false;
    bool heldGuard_ = false;
};

}  // namespace

std::unique_ptr<Removal> MakeCRemoval(const CodePage& codePage, Removal::Sink sink) {
    return std::make_unique<CLexer>(codePage, std::move(sink));
}

}  // namespace kezurin::syntax
