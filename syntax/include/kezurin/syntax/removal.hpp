#pragma once

// What the part loop of kezurin-cli takes (PartRemoval), and the removal of
// comments by a language's own lexical rules (Removal), every exact syntax's
// face: only what the language's compiler or parser takes for a comment goes;
// every other byte stays on its line, no line break is added or removed.

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "kezurin/code_page.hpp"

namespace kezurin::syntax {

// A removal over a text that comes in parts of whole lines. The engine's
// TextRemoval (the window's rules) is one as it stands; every Removal is one.
template <class R>
concept PartRemoval = requires(R& removal, std::string_view text, const CodePage& codePage) {
    // Whole lines, each ending in LF or CR LF; what is open runs on into the next call.
    removal.TakeLines(text);
    // The text's last line, without a line break (it may be empty); ends the text.
    removal.Finish(text);
    // The code page for the lines from here on.
    removal.UseCodePage(codePage);
    // While the code page is still to be chosen: takes the lines for as long as
    // `codePage` would make the same of them, stopping before the first line
    // it would not; returns the bytes taken.
    { removal.TakeLinesAlike(text, codePage) } -> std::same_as<std::size_t>;
    // Whether `codePage` would make the same of the last line.
    { removal.LastLineAlike(text, codePage) } -> std::same_as<bool>;
};

// ---- what becomes of each comment ----

enum class CommentForm : std::uint8_t { Line, Block };

// A comment as the lexer has met it, at its end.
struct SeenComment {
    CommentForm form;
    std::uint64_t line;     // where it starts, counted from 1
    std::string_view text;  // opener to closer as in the input; only for a policy that wants it
};

enum class Verdict : std::uint8_t { Remove, Keep };

// Decides for each comment whether it stays. Without one, every comment goes.
class CommentPolicy {
public:
    virtual ~CommentPolicy() = default;
    // Whether Decide needs the comment's text. Without it the removal writes a
    // comment's line breaks as it meets them and can only remove the comment.
    virtual bool WantsText() const = 0;
    virtual Verdict Decide(const SeenComment& comment) = 0;
};

// A comment, literal or hole still open at the end of the text.
struct OpenConstruct {
    std::string_view what;  // "block comment", "string", ...
    std::uint64_t line;     // where it began
};

// The removal of one exact syntax over one text.
class Removal {
public:
    // Takes the output in pieces as it is made, each valid only during its call.
    using Sink = std::function<void(std::string_view)>;

    virtual ~Removal() = default;
    virtual void TakeLines(std::string_view lines) = 0;
    virtual void Finish(std::string_view lastLine) = 0;
    virtual void UseCodePage(const CodePage& codePage) = 0;
    virtual std::size_t TakeLinesAlike(std::string_view lines, const CodePage& other) = 0;
    virtual bool LastLineAlike(std::string_view lastLine, const CodePage& other) const = 0;
    // Before the first part; the policy outlives the removal.
    virtual void UsePolicy(CommentPolicy* policy) = 0;
    // After Finish: the outermost construct left open at the end, if any.
    virtual std::optional<OpenConstruct> LeftOpen() const = 0;
};

static_assert(PartRemoval<Removal>);

}  // namespace kezurin::syntax
