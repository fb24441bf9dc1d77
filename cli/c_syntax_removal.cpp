#include "c_syntax_removal.hpp"

#include <algorithm>
#include <array>
#include <cstring>

#include "kezurin/byte_scan.hpp"
#include "kezurin/line_breaks.hpp"

namespace kezurin::cli {
namespace {

using Word = CSyntaxRemoval::Word;
constexpr std::size_t kNone = std::string_view::npos;
constexpr std::size_t kGatherSize = 64 * 1024;
constexpr std::size_t kDirectPiece = 8 * 1024;  // longer pieces go to the sink as they are
constexpr std::size_t kMaxRawDelimiter = 16;
// No code page has second bytes below 0x40, so a lead byte never swallows a
// line break, a quote, a slash or an asterisk.
constexpr unsigned char kLowestSecondByte = 0x40;

// ---- line breaks: LF or CR LF, as the engine's line_breaks has them ----

// Length of the line break that starts at `at`; 0 when none does.
std::size_t BreakLength(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    if (text[at] == '\n') return 1;
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 0;
}

// Where the line break that ends with the LF at `lf` starts.
std::size_t BreakStart(std::string_view text, std::size_t lf) {
    return lf + 1 - BreakLengthAt(text, lf, LineBreaks::CrLfOrLf);
}

// Blanks that may stand between a splice's backslash and its line break, as
// compilers accept (and C++23 asks).
bool IsSpliceBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// ---- characters ----

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
// Letters, '_', '$' and every byte of a character beyond ASCII.
bool IsNondigit(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}
bool IsWordByte(unsigned char c) { return IsDigit(c) || IsNondigit(c); }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }
bool IsExponent(unsigned char c) { return c == 'e' || c == 'E' || c == 'p' || c == 'P'; }
// A byte that ends every identifier and number and starts none. All are below
// 0x40, so none is ever the second byte of a character.
bool EndsEveryWord(unsigned char c) {
    return c < kLowestSecondByte && !IsDigit(c) && c != '$' && c != '.' && c != '+' && c != '-' && c != '\'';
}
bool IsRawDelimiterByte(unsigned char c) { return c > ' ' && c < 0x7F && c != '(' && c != ')' && c != '\\'; }

// ---- identifiers and numbers (pp-numbers) ----

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

}  // namespace

CSyntaxRemoval::CSyntaxRemoval(const CodePage& codePage, Sink sink)
    : codePage_(codePage), sink_(std::move(sink)), gathered_(std::make_unique_for_overwrite<char[]>(kGatherSize)) {}

void CSyntaxRemoval::TakeLines(std::string_view lines) {
    Take(lines);
    Flush();
}

void CSyntaxRemoval::Finish(std::string_view lastLine) {
    Take(lastLine);
    if (mode_ == Mode::SlashHeld) {  // the text ends after a '/' and splices: code
        if (heldSpace_) Emit(" ");
        Emit(held_);
        held_.clear();
    }
    mode_ = Mode::Code;
    Flush();
}

void CSyntaxRemoval::Take(std::string_view text) {
    text_ = text;
    emitFrom_ = codeFrom_ = bodyFrom_ = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        switch (mode_) {
            case Mode::Code: at = CodeStep(at); break;
            case Mode::SlashHeld: at = SlashStep(at); break;
            case Mode::QuoteAfterNumber: at = QuoteAfterNumberStep(at); break;
            case Mode::LineComment: at = LineCommentStep(at); break;
            case Mode::BlockComment: at = BlockCommentStep(at); break;
            case Mode::Literal: at = LiteralStep(at); break;
            case Mode::LiteralEscape: at = LiteralEscapeStep(at); break;
            case Mode::Raw: at = RawStep(at); break;
        }
    }
    const bool keeping = mode_ != Mode::LineComment && mode_ != Mode::BlockComment && mode_ != Mode::SlashHeld;
    if (keeping) Emit(text.substr(emitFrom_));
    text_ = {};
}

void CSyntaxRemoval::Emit(std::string_view piece) {
    if (piece.empty()) return;
    if (piece.size() >= kDirectPiece) {
        Flush();
        sink_(piece);
        return;
    }
    if (kGatherSize - gatheredSize_ < piece.size()) Flush();
    std::memcpy(gathered_.get() + gatheredSize_, piece.data(), piece.size());
    gatheredSize_ += piece.size();
}

void CSyntaxRemoval::Flush() {
    if (gatheredSize_ == 0) return;
    sink_(std::string_view(gathered_.get(), gatheredSize_));
    gatheredSize_ = 0;
}

// ---- code ----

std::size_t CSyntaxRemoval::CodeStep(std::size_t at) {
    const std::size_t found = FindFirstOf(text_, at, std::array{'/', '"', '\'', '\n'});
    if (found == kNone) return text_.size();
    switch (text_[found]) {
        case '\n': return CodeBreak(found);
        case '/': return Slash(found);
        case '"': return DoubleQuote(found);
        default: return SingleQuote(found);
    }
}

std::size_t CSyntaxRemoval::CodeBreak(std::size_t lf) {
    if (const std::size_t backslash = SpliceBefore(lf, codeFrom_); backslash != kNone) {
        WordAt(backslash);  // a splice: the word and the line's output go on after it
    } else {
        word_ = Word::Outside;
        joinable_ = false;
    }
    codeFrom_ = lf + 1;
    return lf + 1;
}

std::size_t CSyntaxRemoval::Slash(std::size_t at) {
    const bool merged = spacePending_ && at == codeFrom_;  // right behind another comment
    spacePending_ = false;
    const std::size_t next = at + 1;
    if (next < text_.size() && (text_[next] == '/' || text_[next] == '*')) {
        OpenComment(at, text_[next] == '*', merged);
        bodyFrom_ = next + 1;
        return next + 1;
    }
    if (const std::size_t end = SpliceEnd(next)) {
        // Whether this '/' opens a comment is known only on a later line.
        heldSpace_ = merged;
        heldGuard_ = BackslashTailAt(at);
        spaceBefore_ = !heldGuard_ && (merged || JoinableAt(at));
        Emit(text_.substr(emitFrom_, at - emitFrom_));
        held_.assign(text_.substr(at, end - at));
        emitFrom_ = end;
        mode_ = Mode::SlashHeld;
        return end;
    }
    if (merged) {
        Emit(text_.substr(emitFrom_, at - emitFrom_));
        Emit(" ");
        emitFrom_ = at;
    }
    return next;
}

std::size_t CSyntaxRemoval::SlashStep(std::size_t at) {
    if (const std::size_t end = SpliceEnd(at)) {
        held_.append(text_.substr(at, end - at));
        emitFrom_ = end;
        return end;
    }
    if (text_[at] == '/' || text_[at] == '*') {
        // A comment after all: of what was held only the line breaks stay.
        std::string breaks = heldGuard_ ? "/**/" : "";
        for (const char c : held_) {
            if (c == '\r' || c == '\n') breaks += c;
        }
        Emit(breaks);
        held_.clear();
        spaceBefore_ = false;
        starBefore_ = false;
        mode_ = text_[at] == '*' ? Mode::BlockComment : Mode::LineComment;
        bodyFrom_ = at + 1;
        return at + 1;
    }
    if (heldSpace_) Emit(" ");
    Emit(held_);
    held_.clear();
    BackToCode(at, Word::Outside, true);
    emitFrom_ = at;
    return at;
}

std::size_t CSyntaxRemoval::DoubleQuote(std::size_t at) {
    const bool mayBeRaw = at > codeFrom_ ? text_[at - 1] == 'R' : word_ == Word::RawPrefix;
    if (mayBeRaw && WordAt(at) == Word::RawPrefix) {
        // The delimiter stands on the same line: no splice applies inside it.
        const std::size_t first = at + 1;
        const std::size_t limit = std::min(text_.size(), first + kMaxRawDelimiter + 1);
        std::size_t open = first;
        while (open < limit && IsRawDelimiterByte(static_cast<unsigned char>(text_[open]))) ++open;
        if (open < limit && text_[open] == '(') {
            rawEnd_.assign(text_.substr(first - 1, open - first + 2));  // "delimiter(, to become )delimiter"
            rawEnd_.front() = ')';
            rawEnd_.back() = '"';
            mode_ = Mode::Raw;
            return open + 1;
        }
    }
    mode_ = Mode::Literal;
    quote_ = '"';
    return at + 1;
}

std::size_t CSyntaxRemoval::SingleQuote(std::size_t at) {
    const Word word = WordAt(at);
    if (word == Word::Number || word == Word::NumberExponent) {
        const std::size_t next = at + 1;
        if (next < text_.size() && IsWordByte(static_cast<unsigned char>(text_[next]))) return next;  // 1'000
        if (const std::size_t end = SpliceEnd(next)) {
            mode_ = Mode::QuoteAfterNumber;
            return end;
        }
    }
    mode_ = Mode::Literal;
    quote_ = '\'';
    return at + 1;
}

std::size_t CSyntaxRemoval::QuoteAfterNumberStep(std::size_t at) {
    if (const std::size_t end = SpliceEnd(at)) return end;
    if (IsWordByte(static_cast<unsigned char>(text_[at]))) {
        BackToCode(at, Word::Number, true);
    } else {
        mode_ = Mode::Literal;
        quote_ = '\'';
    }
    return at;
}

void CSyntaxRemoval::BackToCode(std::size_t at, Word word, bool joinable) {
    mode_ = Mode::Code;
    codeFrom_ = at;
    word_ = word;
    joinable_ = joinable;
}

// The word in progress at `at`, worked out from the last byte before it that
// ends every word; `at` becomes the start of the code.
Word CSyntaxRemoval::WordAt(std::size_t at) {
    joinable_ = JoinableAt(at);
    std::size_t from = at;
    while (from > codeFrom_ && !EndsEveryWord(static_cast<unsigned char>(text_[from - 1]))) --from;
    Word word = from > codeFrom_ ? Word::Outside : word_;
    for (; from < at; from += CharLength(from)) word = NextWord(word, static_cast<unsigned char>(text_[from]));
    word_ = word;
    codeFrom_ = at;
    return word;
}

// Whether the line's output just before `at`, in the code, ends in something other than a blank.
bool CSyntaxRemoval::JoinableAt(std::size_t at) const {
    return at > codeFrom_ ? !IsBlank(text_[at - 1]) : joinable_;
}

bool CSyntaxRemoval::IsBackslash(std::size_t at) const {
    return text_[at] == '\\' && codePage_.LeadRunBefore(text_, at) % 2 == 0;
}

// The end of the splice (a backslash and a line break) at `at`; 0 when there is none.
std::size_t CSyntaxRemoval::SpliceEnd(std::size_t at) const {
    if (at >= text_.size() || !IsBackslash(at)) return 0;
    std::size_t end = at + 1;
    while (end < text_.size() && IsSpliceBlank(text_[end])) ++end;
    const std::size_t length = BreakLength(text_, end);
    return length == 0 ? 0 : end + length;
}

// The backslash of the splice that ends with the LF at `lf`, at `from` or
// after it; kNone when the line break is no splice.
std::size_t CSyntaxRemoval::SpliceBefore(std::size_t lf, std::size_t from) const {
    std::size_t at = BreakStart(text_, lf);
    while (at > from && IsSpliceBlank(text_[at - 1])) --at;
    return at > from && IsBackslash(at - 1) ? at - 1 : kNone;
}

// Whether the line's output before `at`, in the code, ends in a backslash and
// blanks (and perhaps a CR): taking out a comment there would make a splice.
bool CSyntaxRemoval::BackslashTailAt(std::size_t at) const {
    if (at > codeFrom_ && text_[at - 1] == '\r') --at;
    while (at > codeFrom_ && IsSpliceBlank(text_[at - 1])) --at;
    return at > codeFrom_ && IsBackslash(at - 1);
}

std::size_t CSyntaxRemoval::CharLength(std::size_t at) const {
    const bool pair = codePage_.IsLeadByte(text_[at]) && at + 1 < text_.size() &&
                      static_cast<unsigned char>(text_[at + 1]) >= kLowestSecondByte;
    return pair ? 2 : 1;
}

// ---- comments ----

void CSyntaxRemoval::OpenComment(std::size_t slash, bool block, bool merged) {
    const bool guarded = BackslashTailAt(slash);
    spaceBefore_ = !guarded && (merged || JoinableAt(slash));
    Emit(text_.substr(emitFrom_, slash - emitFrom_));
    // An empty comment stands in for it, which keeps the line break a line break.
    if (guarded) Emit("/**/");
    mode_ = block ? Mode::BlockComment : Mode::LineComment;
    starBefore_ = false;
}

void CSyntaxRemoval::EmitBreakOfComment(std::size_t lf) {
    const std::size_t start = BreakStart(text_, lf);
    Emit(text_.substr(start, lf + 1 - start));
    spaceBefore_ = false;  // the comment is no longer on one line
    bodyFrom_ = lf + 1;
}

std::size_t CSyntaxRemoval::LineCommentStep(std::size_t at) {
    const std::size_t lf = FindFirstOf(text_, at, std::array{'\n'});
    if (lf == kNone) return text_.size();
    if (SpliceBefore(lf, bodyFrom_) != kNone) {  // spliced: the comment goes on
        EmitBreakOfComment(lf);
        return lf + 1;
    }
    const std::size_t start = BreakStart(text_, lf);
    BackToCode(start, Word::Outside, false);
    emitFrom_ = start;
    return start;
}

std::size_t CSyntaxRemoval::BlockCommentStep(std::size_t at) {
    const std::size_t found = FindFirstOf(text_, at, std::array{'/', '\n'});
    if (found == kNone) return text_.size();
    if (text_[found] == '/') {
        const bool afterStar = found > bodyFrom_ ? text_[found - 1] == '*' : starBefore_;
        return afterStar ? CloseBlockComment(found + 1) : found + 1;
    }
    if (const std::size_t backslash = SpliceBefore(found, bodyFrom_); backslash != kNone) {
        if (backslash > bodyFrom_) starBefore_ = text_[backslash - 1] == '*';  // "*\" at the end: a '/' may close
    } else {
        starBefore_ = false;
    }
    EmitBreakOfComment(found);
    return found + 1;
}

std::size_t CSyntaxRemoval::CloseBlockComment(std::size_t end) {
    BackToCode(end, Word::Outside, false);
    emitFrom_ = end;
    if (end < text_.size() && text_[end] == '/') {
        spacePending_ = spaceBefore_;  // another comment may follow at once
        return end;
    }
    // One space keeps the tokens on either side apart.
    if (spaceBefore_ && end < text_.size() && !IsBlank(text_[end]) && text_[end] != '\n') Emit(" ");
    return end;
}

// ---- literals ----

std::size_t CSyntaxRemoval::LiteralStep(std::size_t at) {
    const std::size_t found = quote_ == '"' ? FindFirstOf(text_, at, std::array{'"', '\\', '\n'})
                                            : FindFirstOf(text_, at, std::array{'\'', '\\', '\n'});
    if (found == kNone) return text_.size();
    if (text_[found] == quote_) {
        BackToCode(found + 1, Word::AfterLiteral, true);
        return found + 1;
    }
    if (text_[found] == '\\') {
        if (!IsBackslash(found)) return found + 1;
        if (const std::size_t end = SpliceEnd(found)) return end;
        mode_ = Mode::LiteralEscape;
        return found + 1;
    }
    // An open literal ends at the end of its line.
    const std::size_t start = BreakStart(text_, found);
    BackToCode(start, Word::Outside, false);
    return start;
}

std::size_t CSyntaxRemoval::LiteralEscapeStep(std::size_t at) {
    if (const std::size_t end = SpliceEnd(at)) return end;
    if (BreakLength(text_, at) > 0) {
        BackToCode(at, Word::Outside, false);
        return at;
    }
    mode_ = Mode::Literal;
    return at + CharLength(at);
}

std::size_t CSyntaxRemoval::RawStep(std::size_t at) {
    for (std::size_t found = FindFirstOf(text_, at, std::array{')'}); found != kNone;
         found = FindFirstOf(text_, found + 1, std::array{')'})) {
        if (text_.substr(found).starts_with(rawEnd_)) {
            BackToCode(found + rawEnd_.size(), Word::AfterLiteral, true);
            return found + rawEnd_.size();
        }
    }
    return text_.size();
}

bool CodePageMattersForCSyntax(std::string_view text) {
    // Second bytes that are something else on their own: punctuation, a
    // backslash, or an exponent letter that lets a sign into a number.
    constexpr std::string_view kMeaningful = "@[\\]^`{|}~eEpP";
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
        at += AsciiPrefixLength(text.substr(at));
        if (at + 1 >= text.size()) break;
        if (kShiftJis.IsLeadByte(text[at]) && kMeaningful.find(text[at + 1]) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace kezurin::cli
