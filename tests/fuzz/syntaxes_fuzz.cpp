// Every exact syntax, picked by the input's first byte, in UTF-8 and in
// Shift-JIS, against a plain reference lexer (C's of its own, the others one
// read from the same language data): the same output whole and in parts cut
// at any line boundaries, every line kept, nothing left to remove the second
// time, a text without a slash passed through as it is; a policy sees the
// same comments at the same lines, and those it keeps stay byte for byte; the
// same construct is reported open at the end.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "c_syntax_reference.hpp"
#include "css.hpp"
#include "fuzz_support.hpp"
#include "json.hpp"
#include "reference_lexer.hpp"
#include "removed.hpp"
#include "test_languages.hpp"

namespace kezurin::fuzz {
namespace {

using namespace syntax;

struct Seen {
    CommentForm form;
    std::uint64_t line;
    std::string text;
    bool operator==(const Seen&) const = default;
};

bool Kept(std::string_view comment) { return comment.find('K') != std::string_view::npos; }

// Keeps the comments holding a K when it asks for texts, and notes them all.
class Recording final : public CommentPolicy {
public:
    explicit Recording(bool wantsText) : wantsText_(wantsText) {}
    bool WantsText() const override { return wantsText_; }
    Verdict Decide(const SeenComment& comment) override {
        seen.push_back({comment.form, comment.line, std::string(comment.text)});
        return Kept(comment.text) ? Verdict::Keep : Verdict::Remove;
    }
    std::vector<Seen> seen;

private:
    bool wantsText_;
};

// What the reference makes of a text.
struct Expected {
    std::string output, keptOutput;
    std::vector<Seen> comments;
    bool checkOpen = false;
    std::optional<OpenConstruct> open;
};

std::uint64_t LineAt(std::string_view text, std::size_t at) {
    return 1 + static_cast<std::uint64_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

Expected FromC(std::string_view text, const CodePage& codePage) {
    reference::CSyntaxReference all(text, codePage);
    Expected expected{all.Output(), reference::CSyntaxReference(text, codePage, Kept).Output(), {}, false, {}};
    for (const auto& comment : all.comments) {
        expected.comments.push_back({comment.block ? CommentForm::Block : CommentForm::Line, LineAt(text, comment.start),
                                     std::string(text.substr(comment.start, comment.end - comment.start))});
    }
    return expected;
}

template <class Language>
Expected FromData(std::string_view text, const CodePage& codePage) {
    const reference::ReferenceLexer<Language> lexer(text, codePage);
    Expected expected{lexer.Output(), lexer.Output(Kept), {}, true, lexer.open};
    for (const auto& comment : lexer.comments)
        expected.comments.push_back({comment.form, comment.line, std::string(text.substr(comment.start, comment.end - comment.start))});
    return expected;
}

void Check(MakeRemoval make, std::string_view text, const CodePage& codePage, std::uint64_t choice,
           const Expected& expected, bool translates, const char* setting) {
    std::optional<OpenConstruct> open;
    const std::string out = RemovedInParts(make, text, codePage, 0, nullptr, &open);
    Require(out == expected.output, "the reference lexer gives the same", setting);
    Require(RemovedInParts(make, text, codePage, choice) == out, "parts give the same", setting);
    Require(RemovedInParts(make, text, codePage, ~std::uint64_t{0}) == out, "line by line gives the same", setting);
    Require(std::count(out.begin(), out.end(), '\n') == std::count(text.begin(), text.end(), '\n'),
            "the line count stays", setting);
    Require(Removed(make, out, codePage) == out, "the output of the output is the output", setting);
    const bool mayHideSlash = translates && text.find(TranslatingLexer::kTranslationByte) != std::string_view::npos;
    if (text.find('/') == std::string_view::npos && !mayHideSlash) Require(out == text, "without a slash nothing changes", setting);
    if (expected.checkOpen) {
        Require(open.has_value() == expected.open.has_value() &&
                    (!open || (open->what == expected.open->what && open->line == expected.open->line)),
                "the same construct is left open", setting);
    }
    Recording keeping(true);
    Require(RemovedInParts(make, text, codePage, choice, &keeping) == expected.keptOutput, "kept comments stay", setting);
    Require(keeping.seen == expected.comments, "every comment is seen with its line and text", setting);
    Recording counting(false);
    Require(RemovedInParts(make, text, codePage, choice, &counting) == out, "a policy without texts only looks", setting);
    Require(counting.seen.size() == expected.comments.size(), "a policy without texts sees every comment", setting);
    for (std::size_t i = 0; i < counting.seen.size(); ++i) {
        Require(counting.seen[i].line == expected.comments[i].line && counting.seen[i].form == expected.comments[i].form,
                "a policy without texts sees every comment's line", setting);
    }
}

template <class Language>
void CheckData(MakeRemoval make, std::string_view text, std::uint64_t choice) {
    const bool translates = Language::kTranslationByte != 0;
    Check(make, text, CodePage{}, choice, FromData<Language>(text, CodePage{}), translates, "(UTF-8)");
    Check(make, text, kShiftJis, choice, FromData<Language>(text, kShiftJis), translates, "(Shift-JIS)");
}

}  // namespace
}  // namespace kezurin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kezurin::syntax;
    if (size == 0) return 0;
    // The first byte picks the language: one of "cjsxlnt", or any other by its value.
    constexpr std::string_view kPicks = "cjsxlnt";
    const std::size_t pick = kPicks.find(static_cast<char>(data[0]));
    const std::size_t language = pick != std::string_view::npos ? pick : data[0] % kPicks.size();
    // The next eight bytes choose the cuts, the rest is the text.
    std::uint64_t choice = 0;
    const std::size_t taken = std::min<std::size_t>(size, 9);
    for (std::size_t i = 1; i < taken; ++i) choice = choice << 8 | data[i];
    const std::string_view text(reinterpret_cast<const char*>(data) + taken, size - taken);
    switch (language) {
        case 0:
            for (const kezurin::CodePage& codePage : {kezurin::CodePage{}, kezurin::kShiftJis}) {
                kezurin::fuzz::Check(MakeCRemoval, text, codePage, choice, kezurin::fuzz::FromC(text, codePage), false,
                                     codePage.IsLeadByte('\x81') ? "(Shift-JIS)" : "(UTF-8)");
            }
            break;
        case 1: kezurin::fuzz::CheckData<JsonLexer>(MakeJsonRemoval, text, choice); break;
        case 2: kezurin::fuzz::CheckData<CssLexer>(MakeCssRemoval, text, choice); break;
        case 3: kezurin::fuzz::CheckData<ScssLexer>(MakeScssRemoval, text, choice); break;
        case 4: kezurin::fuzz::CheckData<LessLexer>(MakeLessRemoval, text, choice); break;
        case 5: kezurin::fuzz::CheckData<NestingLexer>(MakeNestingRemoval, text, choice); break;
        default: kezurin::fuzz::CheckData<TranslatingLexer>(MakeTranslatingRemoval, text, choice); break;
    }
    return 0;
}
