#pragma once

// Comment removal by the lexical rules of C23 and C++23 (--syntax c): only
// what a compiler takes for a comment goes. String and character literals
// (prefixes L, u, U, u8), raw strings, digit separators and line splices are
// lexed as a compiler lexes them; every other byte stays where it is, and no
// line break is added or removed. Apart from the window's removal on purpose:
// that one keeps its own, simpler rules.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"

namespace kezurin::cli {

// The removal over a text that comes in parts; the output goes to `sink` in
// pieces as it is made, each valid only during its call.
class CSyntaxRemoval {
public:
    using Sink = std::function<void(std::string_view)>;

    CSyntaxRemoval(const CodePage& codePage, Sink sink);

    // Removes the comments of `lines`, whole lines each ending in LF or CR LF.
    // A comment, raw string or splice may run on into the next call.
    void TakeLines(std::string_view lines);
    // The text's last line, without a line break (it may be empty); ends the text.
    void Finish(std::string_view lastLine);
    // The code page for the lines from here on.
    void UseCodePage(const CodePage& codePage) { codePage_ = codePage; }

    // How far a run of identifier and number characters has got, as far as
    // comments care: whether a quote after it opens a raw string, and whether
    // a ' in it separates digits.
    enum class Word : std::uint8_t {
        Outside, AfterLiteral, Dot, Number, NumberExponent,
        PrefixL, PrefixLowerU, PrefixUpperU, PrefixU8, RawPrefix, Identifier
    };

private:
    enum class Mode : std::uint8_t {
        Code, SlashHeld, QuoteAfterNumber, LineComment, BlockComment, Literal, LiteralEscape, Raw
    };

    void Take(std::string_view text);
    void Flush();
    void Emit(std::string_view piece);

    std::size_t CodeStep(std::size_t at);
    std::size_t SlashStep(std::size_t at);
    std::size_t QuoteAfterNumberStep(std::size_t at);
    std::size_t LineCommentStep(std::size_t at);
    std::size_t BlockCommentStep(std::size_t at);
    std::size_t LiteralStep(std::size_t at);
    std::size_t LiteralEscapeStep(std::size_t at);
    std::size_t RawStep(std::size_t at);

    std::size_t CodeBreak(std::size_t lf);
    std::size_t Slash(std::size_t at);
    std::size_t DoubleQuote(std::size_t at);
    std::size_t SingleQuote(std::size_t at);
    void OpenComment(std::size_t slash, bool block, bool merged);
    std::size_t CloseBlockComment(std::size_t end);
    void BackToCode(std::size_t at, Word word, bool joinable);
    void EmitBreakOfComment(std::size_t lf);

    Word WordAt(std::size_t at);
    bool JoinableAt(std::size_t at) const;
    bool IsBackslash(std::size_t at) const;
    std::size_t SpliceEnd(std::size_t at) const;
    std::size_t SpliceBefore(std::size_t lf, std::size_t from) const;
    bool BackslashTailAt(std::size_t at) const;
    std::size_t CharLength(std::size_t at) const;

    CodePage codePage_;
    Sink sink_;
    std::unique_ptr<char[]> gathered_;  // short pieces of the output, before the sink takes them
    std::size_t gatheredSize_ = 0;

    Mode mode_ = Mode::Code;
    // The text being worked on, and positions in it; they start again at 0 with every part.
    std::string_view text_;
    std::size_t emitFrom_ = 0;  // kept bytes from here on are not yet written
    std::size_t codeFrom_ = 0;  // start of the code since the last line, literal, comment or splice
    std::size_t bodyFrom_ = 0;  // the comment's own text on this line starts here
    // At codeFrom_: the word in progress, and whether the line's output so far
    // ends in something other than a blank (a comment there may need a space).
    Word word_ = Word::Outside;
    bool joinable_ = false;
    bool spaceBefore_ = false;   // the comment being removed has a non-blank before it on its line
    bool spacePending_ = false;  // a comment ended at codeFrom_ with a '/' after it: another may follow
    bool starBefore_ = false;    // a block comment's line ended in '*' and a splice
    char quote_ = '"';
    std::string rawEnd_;  // ")delimiter\"" of the raw string being read
    std::string held_;    // a '/' and the splices after it, until what follows decides
    bool heldSpace_ = false;
    bool heldGuard_ = false;
};

// Whether Shift-JIS and UTF-8 can lex `text` apart: only where a Shift-JIS
// lead byte stands right before a byte that would then be its second byte
// and that means something else on its own.
bool CodePageMattersForCSyntax(std::string_view text);

}  // namespace kezurin::cli
