#pragma once

// The lexer framework of the exact syntaxes. A language is a class that
// derives from Lexer<itself>: it states its comment and literal forms as data
// (static constexpr members that hide the defaults below) and, only where it
// truly differs, hides one of the hooks with code of its own. Everything is
// resolved at compile time; the one virtual call is once per part.
//
// What every language gets from here: the skip to the next byte that matters
// (FindFirstOf over the vector layer), the output rules (every byte outside
// comments stays on its line, no line break is added or removed, the lines
// inside a block comment become empty, one space where the characters on both
// sides of a comment would otherwise join), literals with escapes, raw closes
// and holes nested to any depth, double-byte characters, the code page
// choice, the line count, and the one place where each comment's fate is
// decided (EndComment).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kezurin/byte_scan.hpp"
#include "kezurin/code_page.hpp"
#include "kezurin/syntax/forms.hpp"
#include "kezurin/syntax/removal.hpp"

namespace kezurin::syntax {

inline constexpr std::size_t kNone = std::string_view::npos;

// Length of the line break (LF or CR LF) that starts at `at`; 0 when none does.
inline std::size_t BreakLength(std::string_view text, std::size_t at) {
    if (at >= text.size()) return 0;
    if (text[at] == '\n') return 1;
    return text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 0;
}

// Where the line break that ends with the LF at `lf` starts.
inline std::size_t BreakStart(std::string_view text, std::size_t lf) {
    return lf > 0 && text[lf - 1] == '\r' ? lf - 1 : lf;
}

// Blanks within a line: beside one, a comment leaves no space.
inline bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

// The first place in `text` where a lead byte of `other` stands right before
// one of `secondBytes`: where that code page could lex the text apart; kNone.
std::size_t PlaceWhereCodePageMatters(std::string_view text, const CodePage& other, std::string_view secondBytes);

// A character as the language reads it: one byte, or for a language that
// translates before lexing (Java's \uXXXX), what an escape stands for.
struct Char {
    char c;
    std::size_t size;
};

template <class Language>
class Lexer : public Removal {
public:
    // ---- the language's data: each language hides what it has otherwise ----
    // Every language states kLiterals (an array of LiteralForm, longer opens
    // before shorter ones that begin alike) and kSecondBytesThatMatter (the
    // second bytes of a Shift-JIS pair that mean something else on their own).
    static constexpr std::string_view kLineComment = "//";  // empty: none (CSS)
    static constexpr BlockCommentForm kBlockComment{};
    static constexpr char kCodeEscape = 0;                   // takes the character after it in code too (CSS)
    static constexpr std::string_view kCodeHole{};           // a hole in code itself (SCSS "#{"); empty: none
    static constexpr std::string_view kCodeHoleName = "interpolation";
    static constexpr bool kLineCommentsInHoles = true;
    static constexpr std::string_view kOwnCodeBytes{};       // more bytes the language's CodeByte wants to see
    static constexpr char kTranslationByte = 0;              // where Read may translate (Java '\\'); 0: never

    Lexer(const CodePage& codePage, Sink sink)
        : codePage_(codePage), sink_(std::move(sink)), gathered_(std::make_unique_for_overwrite<char[]>(kGatherSize)) {}

    void TakeLines(std::string_view lines) final {
        Take(lines);
        Flush();
    }
    void Finish(std::string_view lastLine) final {
        Take(lastLine);
        Self().FinishOwn();
        leftOpen_ = OpenAtEnd();
        if (InComment()) {
            text_ = {};
            commentFrom_ = 0;
            EndComment(0);
        }
        mode_ = Mode::Code;
        holes_.clear();
        closes_.clear();
        Flush();
    }
    void UseCodePage(const CodePage& codePage) final { codePage_ = codePage; }
    std::size_t TakeLinesAlike(std::string_view lines, const CodePage& other) final {
        const std::size_t matters = PlaceWhereCodePageMatters(lines, other, Language::kSecondBytesThatMatter);
        const std::size_t alike = matters == kNone ? lines.size() : lines.substr(0, matters).rfind('\n') + 1;
        TakeLines(lines.substr(0, alike));
        return alike;
    }
    bool LastLineAlike(std::string_view lastLine, const CodePage& other) const final {
        return PlaceWhereCodePageMatters(lastLine, other, Language::kSecondBytesThatMatter) == kNone;
    }
    void UsePolicy(CommentPolicy* policy) final { policy_ = policy; }
    std::optional<OpenConstruct> LeftOpen() const final { return leftOpen_; }

    static constexpr bool HasHoles() {
        if (!Language::kCodeHole.empty()) return true;
        for (const LiteralForm& form : Language::kLiterals)
            if (!form.hole.empty()) return true;
        return false;
    }
    // The bracket every hole of the language ends with (the match of its last byte).
    static constexpr char HoleBracket() {
        if (!Language::kCodeHole.empty()) return Language::kCodeHole.back();
        for (const LiteralForm& form : Language::kLiterals)
            if (!form.hole.empty()) return form.hole.back();
        return 0;
    }

protected:
    enum class Mode : std::uint8_t { Code, LineComment, BlockComment, Literal, Own };
    // Why code starts again, for language state that cares (a word, the token before).
    enum class Resume : std::uint8_t { AfterLiteral, AfterComment, AtLineBreak, InHole, AfterHole };
    static constexpr std::size_t kCodeFrame = ~std::size_t{0};  // a hole opened in code, not in a literal

    Language& Self() { return static_cast<Language&>(*this); }
    const Language& Self() const { return static_cast<const Language&>(*this); }

    // ---- hooks: a language hides these with its own where it differs ----

    // A byte of the code set other than a line break.
    std::size_t CodeByte(std::size_t found) { return GenericCodeByte(found); }
    // The first byte of a comment opener that opens none; `merged`: right behind a comment.
    std::size_t NotAComment(std::size_t at, bool merged) {
        if (merged) EmitSpaceBefore(at);
        return at + Self().Read(at).size;
    }
    // A line break in code, already counted.
    void CodeBreak(std::size_t lf) {
        joinable_ = false;
        codeFrom_ = lf + 1;
    }
    // Whether a line comment goes on past the line break at `lf` (C's splices).
    bool ContinuesLineComment(std::size_t) const { return false; }
    // Whether a comment at `start` must leave an empty comment in its place (C: after a backslash).
    bool GuardBefore(std::size_t) const { return false; }
    // The end of the escape at `escape` in a literal: the escape and the character it takes.
    std::size_t EscapeEnd(std::size_t escape) {
        const std::size_t next = escape + Self().Read(escape).size;
        if (next >= text_.size()) return next;
        if (const std::size_t length = BreakLength(text_, next)) {
            NewLine();
            return next + length;
        }
        const Char taken = Self().Read(next);
        return next + (taken.size > 1 ? taken.size : CharLength(next));
    }
    void Resumed(Resume) {}
    std::size_t OwnStep(std::size_t at) { return at + 1; }
    bool HoldsOutput() const { return false; }  // bytes at the part's end wait for what follows
    void FinishOwn() {}
    std::optional<OpenConstruct> OwnLeftOpen() const { return std::nullopt; }
    Char Read(std::size_t at) const { return {text_[at], 1}; }

    // ---- the steps ----

    void Take(std::string_view text) {
        text_ = text;
        emitFrom_ = codeFrom_ = bodyFrom_ = commentFrom_ = 0;
        escapeEnd_ = kNone;
        std::size_t at = 0;
        while (at < text.size()) {
            switch (mode_) {
                case Mode::Code: at = CodeStep(at); break;
                case Mode::LineComment: at = LineCommentStep(at); break;
                case Mode::BlockComment: at = Self().BlockCommentStep(at); break;
                case Mode::Literal: at = LiteralStep(at, std::make_index_sequence<Language::kLiterals.size()>{}); break;
                case Mode::Own: at = Self().OwnStep(at); break;
            }
        }
        if (InComment()) {
            if (collecting_) commentText_.append(text.substr(commentFrom_));
        } else if (!Self().HoldsOutput()) {
            Emit(text.substr(emitFrom_));
        }
        text_ = {};
    }

    std::size_t CodeStep(std::size_t at) {
        std::size_t found;
        if constexpr (HasHoles()) {
            found = holes_.empty() ? FindFirstOf(text_, at, CodeBytes<false>()) : FindFirstOf(text_, at, CodeBytes<true>());
        } else {
            found = FindFirstOf(text_, at, CodeBytes<false>());
        }
        if (found == kNone) return text_.size();
        if (text_[found] == '\n') {
            NewLine();
            Self().CodeBreak(found);
            return found + 1;
        }
        return Self().CodeByte(found);
    }

    std::size_t GenericCodeByte(std::size_t found) {
        if constexpr (MaySecondByte(CodeBytes<true>())) {
            if (IsSecondByte(found)) return found + 1;
        }
        const Char read = Self().Read(found);
        const std::size_t next = found + read.size;
        if constexpr (HasHoles()) {
            if (!holes_.empty()) {
                if (read.c == HoleBracket()) {
                    ++holes_.back().depth;
                    return next;
                }
                if (read.c == ClosingBracket(HoleBracket())) return CloseBracketInHole(next);
            }
        }
        if (FirstIs(Language::kBlockComment.open, read.c) || FirstIs(Language::kLineComment, read.c)) {
            const bool merged = spacePending_ && found == codeFrom_;
            spacePending_ = false;
            if (const std::size_t end = OpenerEnd(next, Language::kBlockComment.open); end != kNone) {
                OpenComment(found, CommentForm::Block, end, merged);
                return end;
            }
            if (Language::kLineCommentsInHoles || holes_.empty()) {
                if (const std::size_t end = OpenerEnd(next, Language::kLineComment); end != kNone) {
                    OpenComment(found, CommentForm::Line, end, merged);
                    return end;
                }
            }
            return Self().NotAComment(found, merged);
        }
        for (std::size_t form = 0; form < Language::kLiterals.size(); ++form) {
            const std::string_view open = Language::kLiterals[form].open;
            if (!FirstIs(open, read.c)) continue;
            if (const std::size_t end = OpenerEnd(next, open); end != kNone) {
                OpenLiteral(form);
                return end;
            }
        }
        if (Language::kCodeEscape != 0 && read.c == Language::kCodeEscape) {
            if (next >= text_.size() || BreakLength(text_, next) != 0) return next;
            // What it takes is part of a name, never a blank between tokens.
            codeFrom_ = escapeEnd_ = next + CharLength(next);
            joinable_ = true;
            return codeFrom_;
        }
        if (FirstIs(Language::kCodeHole, read.c)) {
            if (const std::size_t end = OpenerEnd(next, Language::kCodeHole); end != kNone) {
                PushHole(kCodeFrame, end);
                return end;
            }
        }
        return next;
    }

    std::size_t LineCommentStep(std::size_t at) {
        constexpr auto kBytes = AsArray<LineCommentByteList()>();
        const std::size_t found = FindFirstOf(text_, at, kBytes);
        if (found == kNone) return text_.size();
        if constexpr (MaySecondByte(kBytes)) {
            if (IsSecondByte(found)) return found + 1;
        }
        if (text_[found] != '\n') {  // a translated line break ends the comment too; the escape stays
            const Char read = Self().Read(found);
            return read.c == '\n' || read.c == '\r' ? EndLineComment(found) : found + read.size;
        }
        if (Self().ContinuesLineComment(found)) {
            EmitBreakOfComment(found);
            return found + 1;
        }
        return EndLineComment(BreakStart(text_, found));
    }

    std::size_t BlockCommentStep(std::size_t at) {
        constexpr BlockCommentForm kForm = Language::kBlockComment;
        constexpr auto kBytes = AsArray<BlockCommentByteList()>();
        const std::size_t found = FindFirstOf(text_, at, kBytes);
        if (found == kNone) return text_.size();
        if constexpr (MaySecondByte(kBytes)) {
            if (IsSecondByte(found)) return found + 1;
        }
        if (text_[found] == '\n') {
            EmitBreakOfComment(found);
            return found + 1;
        }
        const Char read = Self().Read(found);
        const std::size_t next = found + read.size;
        if (read.c == kForm.close[0]) {
            if (const std::size_t end = OpenerEnd(next, kForm.close); end != kNone) {
                return --depth_ == 0 ? CloseBlockComment(end) : end;
            }
        }
        if (kForm.nests && read.c == kForm.open[0]) {
            if (const std::size_t end = OpenerEnd(next, kForm.open); end != kNone) {
                ++depth_;
                return end;
            }
        }
        return next;
    }

    template <std::size_t... K>
    std::size_t LiteralStep(std::size_t at, std::index_sequence<K...>) {
        std::size_t next = at;
        static_cast<void>(((literal_ == K ? (next = LiteralStepOf<K>(at), true) : false) || ...));
        return next;
    }

    template <std::size_t K>
    std::size_t LiteralStepOf(std::size_t at) {
        constexpr LiteralForm kForm = Language::kLiterals[K];
        constexpr auto kBytes = AsArray<LiteralByteList<K>()>();
        const std::size_t found = FindFirstOf(text_, at, kBytes);
        if (found == kNone) return text_.size();
        if constexpr (MaySecondByte(kBytes)) {
            if (IsSecondByte(found)) return found + 1;
        }
        if (text_[found] == '\n') {
            if (kForm.multiline) {
                NewLine();
                return found + 1;
            }
            return EndLiteralAtBreak(BreakStart(text_, found));
        }
        const Char read = Self().Read(found);
        const std::size_t next = found + read.size;
        if (FirstIs(kForm.hole, read.c)) {
            if (const std::size_t end = OpenerEnd(next, kForm.hole); end != kNone) {
                PushHole(K, end);
                return end;
            }
        }
        if (kForm.escape != 0 && read.c == kForm.escape) return Self().EscapeEnd(found);
        if (read.c == (kForm.close.empty() ? kForm.closeStart : kForm.close[0])) {
            const std::size_t end = kForm.close.empty() ? (text_.substr(found).starts_with(close_) ? found + close_.size() : kNone)
                                                        : OpenerEnd(next, kForm.close);
            if (end != kNone) {
                if (kForm.doubledClose) {
                    if (const std::size_t twice = MatchAt(end, kForm.close); twice != kNone) return twice;
                }
                BackToCode(end, true, Resume::AfterLiteral);
                return end;
            }
        }
        if (read.size > 1 && !kForm.multiline && (read.c == '\n' || read.c == '\r')) return EndLiteralAtBreak(found);
        return next;
    }

    // ---- comments ----

    // A comment opener at `start` whose body starts at `bodyFrom`.
    void OpenComment(std::size_t start, CommentForm form, std::size_t bodyFrom, bool merged) {
        const bool guard = Self().GuardBefore(start);
        Emit(text_.substr(emitFrom_, start - emitFrom_));
        BeginComment(form, line_, guard, !guard && (merged || JoinableAt(start)), merged, {}, start);
        bodyFrom_ = bodyFrom;
    }
    // The comment's state from here; `held` is its beginning where an earlier
    // part gave it (C's '/' before splices), the rest starts at `from`.
    void BeginComment(CommentForm form, std::uint64_t line, bool guard, bool spaceBefore, bool merged,
                      std::string_view held, std::size_t from) {
        mode_ = form == CommentForm::Line ? Mode::LineComment : Mode::BlockComment;
        comment_ = {form, line, guard, merged};
        spaceBefore_ = spaceBefore;
        depth_ = 1;
        commentFrom_ = from;
        collecting_ = policy_ != nullptr && policy_->WantsText();
        if (collecting_) {
            commentText_.assign(held);
            return;
        }
        if (guard) EmitEmptyComment();
        EmitBreaksOf(held);
    }
    void EmitBreakOfComment(std::size_t lf) {
        NewLine();
        if (!collecting_) EmitBreak(lf > 0 && text_[lf - 1] == '\r');
        spaceBefore_ = false;  // the comment is no longer on one line
        bodyFrom_ = lf + 1;
    }
    // Every comment ends here, whatever its form and language: the one place
    // that decides whether it stays. `end` is just past it in the text.
    Verdict EndComment(std::size_t end) {
        if (policy_ == nullptr) return Verdict::Remove;
        if (collecting_) commentText_.append(text_.substr(commentFrom_, end - commentFrom_));
        const Verdict verdict = policy_->Decide({comment_.form, comment_.line, collecting_ ? commentText_ : std::string_view{}});
        if (!collecting_) return Verdict::Remove;  // its line breaks are written already: it can only go
        if (verdict == Verdict::Keep) {
            if (comment_.merged) EmitByte(' ');  // the comment removed just before it wanted one
            Emit(commentText_);
            return verdict;
        }
        if (comment_.guard) EmitEmptyComment();
        EmitBreaksOf(commentText_);
        return verdict;
    }
    std::size_t EndLineComment(std::size_t end) {
        EndComment(end);
        BackToCode(end, false, Resume::AfterComment);
        emitFrom_ = end;
        return end;
    }
    std::size_t CloseBlockComment(std::size_t end) {
        const bool kept = EndComment(end) == Verdict::Keep;
        BackToCode(end, kept, Resume::AfterComment);
        emitFrom_ = end;
        if (kept || end >= text_.size()) return end;
        const char after = Self().Read(end).c;
        if (FirstIs(Language::kBlockComment.open, after) || FirstIs(Language::kLineComment, after)) {
            spacePending_ = spaceBefore_;  // another comment may follow at once
        } else if (spaceBefore_ && !IsBlank(text_[end]) && text_[end] != '\n') {
            EmitByte(' ');  // one space keeps the tokens on either side apart
        }
        return end;
    }
    bool InComment() const { return mode_ == Mode::LineComment || mode_ == Mode::BlockComment; }

    // ---- literals and holes ----

    // `close` for a form whose close is given when it opens.
    void OpenLiteral(std::size_t form, std::string_view close = {}) {
        mode_ = Mode::Literal;
        literal_ = form;
        literalLine_ = line_;
        if (!close.empty()) close_.assign(close);
    }
    std::size_t EndLiteralAtBreak(std::size_t start) {
        BackToCode(start, false, Resume::AtLineBreak);
        return start;
    }
    static bool ClosesWhenOpened(std::size_t form) {
        return form != kCodeFrame && Language::kLiterals[form].close.empty();
    }
    // Frames stay small and alike ones share one, as nesting may be as deep as the input is long.
    void PushHole(std::size_t form, std::size_t end) {
        if (form == kCodeFrame && !holes_.empty()) {
            ++holes_.back().depth;  // a hole in a hole's code is one more bracket
            return;
        }
        const std::uint64_t line = form == kCodeFrame ? line_ : literalLine_;
        if (!holes_.empty() && holes_.back().form == form && holes_.back().line == line && holes_.back().depth == 0 &&
            !ClosesWhenOpened(form)) {
            ++holes_.back().repeats;
        } else {
            holes_.push_back({form, line, 0, 1});
            if (ClosesWhenOpened(form)) closes_.push_back(close_);
        }
        BackToCode(end, true, Resume::InHole);
    }
    std::size_t CloseBracketInHole(std::size_t next) {
        Frame& frame = holes_.back();
        if (frame.depth > 0) {
            --frame.depth;
            return next;
        }
        const std::size_t form = frame.form;
        const std::uint64_t line = frame.line;
        if (--frame.repeats == 0) holes_.pop_back();
        if (form == kCodeFrame) {
            BackToCode(next, true, Resume::AfterHole);
            return next;
        }
        mode_ = Mode::Literal;
        literal_ = form;
        literalLine_ = line;
        if (ClosesWhenOpened(form)) {
            close_ = std::move(closes_.back());
            closes_.pop_back();
        }
        return next;
    }

    // ---- shared ----

    void BackToCode(std::size_t at, bool joinable, Resume resume) {
        mode_ = Mode::Code;
        codeFrom_ = at;
        joinable_ = joinable;
        Self().Resumed(resume);
    }
    void NewLine() { ++line_; }
    // Whether the line's output just before `at`, in the code, ends in something other than a blank.
    bool JoinableAt(std::size_t at) const { return at > codeFrom_ ? !IsBlank(text_[at - 1]) : joinable_; }
    // Whether the byte at `at` is the second byte of a double-byte character.
    bool IsSecondByte(std::size_t at) const {
        return static_cast<unsigned char>(text_[at]) >= 0x40 && codePage_.LeadRunBefore(text_, at) % 2 == 1;
    }
    // A character: one byte, or a lead byte and a byte of 0x40 or above.
    std::size_t CharLength(std::size_t at) const {
        const bool pair = codePage_.IsLeadByte(text_[at]) && at + 1 < text_.size() &&
                          static_cast<unsigned char>(text_[at + 1]) >= 0x40;
        return pair ? 2 : 1;
    }
    // Where `wanted` ends when it stands at `at`, read as the language reads; kNone when it does not.
    std::size_t MatchAt(std::size_t at, std::string_view wanted) const {
        for (const char c : wanted) {
            if (at >= text_.size()) return kNone;
            const Char read = Self().Read(at);
            if (read.c != c) return kNone;
            at += read.size;
        }
        return at;
    }
    // Where `opener` ends when its first character has been read and the rest stands at `at`; kNone.
    std::size_t OpenerEnd(std::size_t at, std::string_view opener) const {
        return opener.empty() ? kNone : MatchAt(at, opener.substr(1));
    }
    static constexpr bool FirstIs(std::string_view text, char c) { return !text.empty() && text.front() == c; }

    void EmitSpaceBefore(std::size_t at) {
        Emit(text_.substr(emitFrom_, at - emitFrom_));
        EmitByte(' ');
        emitFrom_ = at;
    }
    void EmitEmptyComment() {
        Emit(Language::kBlockComment.open);
        Emit(Language::kBlockComment.close);
    }
    void EmitBreaksOf(std::string_view text) {
        for (std::size_t lf = text.find('\n'); lf != kNone; lf = text.find('\n', lf + 1))
            EmitBreak(lf > 0 && text[lf - 1] == '\r');
    }
    // The short pieces, without a copy of unknown length.
    void EmitByte(char byte) {
        if (gatheredSize_ == kGatherSize) Flush();
        gathered_[gatheredSize_++] = byte;
    }
    void EmitBreak(bool crLf) {
        if (kGatherSize - gatheredSize_ < 2) Flush();
        if (crLf) gathered_[gatheredSize_++] = '\r';
        gathered_[gatheredSize_++] = '\n';
    }
    void Emit(std::string_view piece) {
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
    void Flush() {
        if (gatheredSize_ == 0) return;
        sink_(std::string_view(gathered_.get(), gatheredSize_));
        gatheredSize_ = 0;
    }

    // ---- the byte sets, from the language's data ----

    static constexpr ByteList CodeByteList(bool inHole) {
        ByteList list;
        list.Add('\n');
        list.AddFirst(Language::kLineComment);
        list.AddFirst(Language::kBlockComment.open);
        for (const LiteralForm& form : Language::kLiterals) list.AddFirst(form.open);
        list.Add(Language::kCodeEscape);
        list.AddFirst(Language::kCodeHole);
        list.Add(Language::kOwnCodeBytes);
        list.Add(Language::kTranslationByte);
        if (inHole) {
            list.Add(HoleBracket());
            list.Add(ClosingBracket(HoleBracket()));
        }
        return list;
    }
    template <bool InHole>
    static constexpr auto CodeBytes() {
        return AsArray<CodeByteList(InHole)>();
    }
    static constexpr ByteList LineCommentByteList() {
        ByteList list;
        list.Add('\n');
        list.Add(Language::kTranslationByte);
        return list;
    }
    static constexpr ByteList BlockCommentByteList() {
        constexpr BlockCommentForm kForm = Language::kBlockComment;
        static_assert(kForm.open.size() >= 2 && kForm.close.size() >= 2);
        ByteList list;
        list.Add('\n');
        list.Add(kForm.close.front());
        if (kForm.nests) list.Add(kForm.open.front());
        list.Add(Language::kTranslationByte);
        return list;
    }
    template <std::size_t K>
    static constexpr ByteList LiteralByteList() {
        constexpr LiteralForm kForm = Language::kLiterals[K];
        static_assert(kForm.hole.empty() || ClosingBracket(kForm.hole.back()) == ClosingBracket(HoleBracket()));
        ByteList list;
        list.Add('\n');
        list.Add(kForm.close.empty() ? kForm.closeStart : kForm.close.front());
        list.Add(kForm.escape);
        list.AddFirst(kForm.hole);
        list.Add(Language::kTranslationByte);
        return list;
    }

    OpenConstruct OpenAt(std::size_t form, std::uint64_t line) const {
        return {form == kCodeFrame ? Language::kCodeHoleName : Language::kLiterals[form].name, line};
    }
    std::optional<OpenConstruct> OpenAtEnd() const {
        if (!holes_.empty()) return OpenAt(holes_.front().form, holes_.front().line);
        switch (mode_) {
            case Mode::BlockComment: return OpenConstruct{"block comment", comment_.line};
            case Mode::Literal: return OpenAt(literal_, literalLine_);
            case Mode::Own: return Self().OwnLeftOpen();
            default: return std::nullopt;
        }
    }

    static constexpr std::size_t kGatherSize = 64 * 1024;
    static constexpr std::size_t kDirectPiece = 8 * 1024;  // longer pieces go to the sink as they are

    CodePage codePage_;
    Sink sink_;
    std::unique_ptr<char[]> gathered_;  // short pieces of the output, before the sink takes them
    std::size_t gatheredSize_ = 0;
    CommentPolicy* policy_ = nullptr;

    Mode mode_ = Mode::Code;
    // The text being worked on, and positions in it; they start again at 0 with every part.
    std::string_view text_;
    std::size_t emitFrom_ = 0;     // kept bytes from here on are not yet written
    std::size_t codeFrom_ = 0;     // start of the code since the last line, literal or comment
    std::size_t bodyFrom_ = 0;     // the comment's own text on this line starts here
    std::size_t commentFrom_ = 0;  // the comment's text from here on is not yet collected
    std::size_t escapeEnd_ = kNone;  // just past the last escape in code
    std::uint64_t line_ = 1;       // of the place being read
    bool joinable_ = false;        // the line's output at codeFrom_ ends in something other than a blank
    bool spaceBefore_ = false;     // the comment being removed has a non-blank before it on its line
    bool spacePending_ = false;    // a comment ended at codeFrom_ with an opener's first byte after it

    struct CommentState {
        CommentForm form = CommentForm::Line;
        std::uint64_t line = 0;
        bool guard = false;   // an empty comment takes its place
        bool merged = false;  // right behind a removed comment that wanted a space
    } comment_;
    std::size_t depth_ = 0;  // of nested block comments
    bool collecting_ = false;
    std::string commentText_;

    std::size_t literal_ = 0;  // the form of the literal being read
    std::uint64_t literalLine_ = 0;
    std::string close_;  // of a literal whose close was given when it opened
    struct Frame {
        std::size_t form;  // the literal to go back to, or kCodeFrame
        std::uint64_t line;
        std::size_t depth;    // brackets opened inside the hole and not yet closed
        std::size_t repeats;  // frames alike, one inside the other
    };
    std::vector<Frame> holes_;         // innermost last
    std::vector<std::string> closes_;  // of the frames whose literal's close was given when it opened
    std::optional<OpenConstruct> leftOpen_;
};

}  // namespace kezurin::syntax
