#pragma once

// The exact syntaxes of the lexer framework the slow, plain way, to check the
// framework against: the whole text at once, read from the same language data
// one character at a time (a character: one byte, a double-byte pair, or what
// a language's translation makes of an escape), holes by recursion. It lists
// the comments; the output is then made from them by the output rules.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "css.hpp"  // the CSS family's url(
#include "kezurin/syntax/lexer.hpp"

namespace kezurin::reference {

using syntax::CommentForm;
using syntax::LiteralForm;

template <class Language>
class ReferenceLexer {
public:
    struct Comment {
        CommentForm form;
        std::uint64_t line;
        std::size_t start, end;  // bytes of the text
    };

    ReferenceLexer(std::string_view text, const CodePage& codePage) : t_(text), escaped_(text.size() + 1, false) {
        for (std::size_t at = 0; at < text.size();) {
            const bool pair = codePage.IsLeadByte(text[at]) && at + 1 < text.size() &&
                              static_cast<unsigned char>(text[at + 1]) >= 0x40;
            u_.push_back({text[at], at, pair ? std::size_t{2} : std::size_t{1}, false});
            if constexpr (Language::kTranslationByte != 0) {
                if (text[at] == Language::kTranslationByte && !pair) {
                    const syntax::Char read = Language::TranslateAt(text, at);
                    u_.back() = {read.c, at, read.size, read.size > 1};
                }
            }
            at += u_.back().size;
        }
        u_.push_back({0, text.size(), 0, false});  // the end
        Code(0, 0);
    }

    std::vector<Comment> comments;
    std::optional<syntax::OpenConstruct> open;  // the outermost construct left open

    // The output with the comments that `keep` picks left in place.
    std::string Output(const std::function<bool(std::string_view)>& keep = {}) const {
        std::vector<int> mark(t_.size() + 1, -1);  // the comment removed there, or -1
        for (std::size_t k = 0; k < comments.size(); ++k) {
            const Comment& c = comments[k];
            if (keep && keep(t_.substr(c.start, c.end - c.start))) continue;
            for (std::size_t at = c.start; at < c.end; ++at) mark[at] = static_cast<int>(k);
        }
        std::string out;
        bool nonBlank = false;  // the line's output so far ends in something other than a blank
        for (std::size_t at = 0; at < t_.size();) {
            if (mark[at] < 0) {
                nonBlank = escaped_[at] || (!syntax::IsBlank(t_[at]) && t_[at] != '\n');
                out += t_[at++];
                continue;
            }
            bool broken = false;
            int last = mark[at];
            for (; at < t_.size() && mark[at] >= 0; ++at) {
                last = mark[at];
                if (t_[at] != '\n') continue;
                out += at > 0 && t_[at - 1] == '\r' && mark[at - 1] >= 0 ? "\r\n" : "\n";
                broken = true;
            }
            const bool space = !broken && nonBlank && comments[last].form == CommentForm::Block && at < t_.size() &&
                               !syntax::IsBlank(t_[at]) && t_[at] != '\n';
            if (space) out += ' ';
            if (broken || space) nonBlank = false;
        }
        return out;
    }

private:
    struct Unit {
        char c;
        std::size_t at, size;
        bool translated;
    };
    bool Is(std::size_t i, char c) const { return u_[i].size > 0 && u_[i].c == c; }
    bool Break(std::size_t i) const { return Is(i, '\n') && !u_[i].translated; }
    bool TranslatedBreak(std::size_t i) const { return u_[i].translated && (u_[i].c == '\n' || u_[i].c == '\r'); }
    // Where the line break at i starts: before its CR.
    std::size_t BreakStart(std::size_t i) const { return i > 0 && Is(i - 1, '\r') && !u_[i - 1].translated ? i - 1 : i; }
    // Past `s` where it stands at i, or 0.
    std::size_t Match(std::size_t i, std::string_view s) const {
        if (s.empty()) return 0;
        for (const char c : s) {
            if (!Is(i, c)) return 0;
            ++i;
        }
        return i;
    }
    std::uint64_t LineOf(std::size_t i) const {
        std::uint64_t line = 1;
        for (std::size_t at = 0; at < u_[i].at; ++at) line += t_[at] == '\n';
        return line;
    }
    void Open(std::string_view what, std::size_t i) { open = syntax::OpenConstruct{what, LineOf(i)}; }

    // Code from i; in a hole (holes > 0), up to the bracket that closes it.
    std::size_t Code(std::size_t i, int holes) {
        const char bracket = holes > 0 ? Language::HoleBracket() : 0;
        int depth = 0;
        std::size_t run = i;  // the code since the last comment, literal, hole or escape starts here
        bool runAfterEscape = false;
        while (u_[i].size > 0) {
            const std::size_t from = i;
            bool plain = false;
            bool escape = false;
            if (bracket != 0 && Is(i, bracket)) {
                ++depth, ++i, plain = true;
            } else if (bracket != 0 && Is(i, syntax::ClosingBracket(bracket))) {
                if (depth-- == 0) return closed_ = true, i + 1;
                ++i, plain = true;
            } else if (std::size_t end = Match(i, Language::kBlockComment.open)) {
                i = BlockComment(i, end);
            } else if ((end = Match(i, Language::kLineComment)) && (holes == 0 || Language::kLineCommentsInHoles)) {
                while (u_[end].size > 0 && !Break(end) && !TranslatedBreak(end)) ++end;
                i = Break(end) ? BreakStart(end) : end;
                comments.push_back({CommentForm::Line, LineOf(from), u_[from].at, u_[i].at});
            } else if (const std::size_t literal = OpenLiteral(i)) {
                i = literal;
            } else if (Language::kCodeEscape != 0 && Is(i, Language::kCodeEscape)) {
                escape = u_[i + 1].size > 0 && !Break(i + 1) && !(Is(i + 1, '\r') && Break(i + 2));
                plain = !escape;
                i += escape ? 2 : 1;
                if (escape) escaped_[u_[i - 1].at] = true;
            } else if ((end = Match(i, Language::kCodeHole))) {
                i = Hole(end, Language::kCodeHoleName, from, holes);
            } else if (IsUrl(i, run, runAfterEscape)) {
                i = Url(i + 1);
            } else {
                ++i, plain = true;
            }
            if (!plain) run = i, runAfterEscape = escape;
        }
        closed_ = false;
        return i;
    }

    // A hole's code; what it is part of was left open when the hole was.
    std::size_t Hole(std::size_t i, std::string_view what, std::size_t from, int holes) {
        const std::size_t end = Code(i, holes + 1);
        if (!closed_) Open(what, from);
        return end;
    }

    std::size_t BlockComment(std::size_t from, std::size_t i) {
        const auto form = Language::kBlockComment;
        for (int depth = 1; depth > 0;) {
            if (u_[i].size == 0) {
                Open("block comment", from);
                break;
            }
            if (const std::size_t end = Match(i, form.close)) {
                --depth, i = end;
            } else if (const std::size_t nested = form.nests ? Match(i, form.open) : 0) {
                ++depth, i = nested;
            } else {
                ++i;
            }
        }
        comments.push_back({CommentForm::Block, LineOf(from), u_[from].at, u_[i].at});
        return i;
    }

    std::size_t OpenLiteral(std::size_t i) {
        for (std::size_t k = 0; k < Language::kLiterals.size(); ++k) {
            if (const std::size_t end = Match(i, Language::kLiterals[k].open)) return Literal(i, end, Language::kLiterals[k]);
        }
        return 0;
    }

    std::size_t Literal(std::size_t from, std::size_t i, const LiteralForm& form) {
        while (u_[i].size > 0) {
            if (Break(i)) {
                if (!form.multiline) return BreakStart(i);
                ++i;
            } else if (const std::size_t hole = Match(i, form.hole)) {
                i = Hole(hole, form.name, from, 1);
                if (!closed_) return i;
            } else if (form.escape != 0 && Is(i, form.escape)) {
                i += Is(i + 1, '\r') && Break(i + 2) ? 3 : u_[i + 1].size > 0 ? 2 : 1;
            } else if (const std::size_t end = Match(i, form.close)) {
                const std::size_t twice = form.doubledClose ? Match(end, form.close) : 0;
                if (twice == 0) return end;
                i = twice;
            } else if (TranslatedBreak(i) && !form.multiline) {
                return i;
            } else {
                ++i;
            }
        }
        Open(form.name, from);
        return i;
    }

    // url( of the CSS family: "url" right before the '(' at i, in the code
    // run from `run`, not the end of a longer name.
    bool IsUrl(std::size_t i, std::size_t run, bool runAfterEscape) const {
        if constexpr (requires { Language::kUrl; }) {
            if (!Is(i, '(') || i < run + 3) return false;
            std::string name;
            for (std::size_t k = i - 3; k < i; ++k) name += u_[k].size == 1 ? u_[k].c : '\0';
            if (!syntax::IsUrlName(name)) return false;
            return i - 3 == run ? !runAfterEscape : !syntax::IsNameByte(static_cast<unsigned char>(u_[i - 4].c));
        }
        return false;
    }
    std::size_t Url(std::size_t i) {
        if constexpr (requires { Language::kUrl; }) {
            const std::size_t paren = i - 1;
            while (u_[i].size > 0 && (syntax::IsCssBlank(u_[i].c) || Break(i))) ++i;
            if (u_[i].size == 0) Open("url(", paren);
            if (u_[i].size == 0 || Is(i, '"') || Is(i, '\'') || Is(i, ')')) return i;
            return Literal(paren, i, Language::kLiterals[Language::kUrl]);
        }
        return i;
    }

    std::string_view t_;
    std::vector<Unit> u_;
    bool closed_ = false;        // the hole that Code just read was closed
    std::vector<bool> escaped_;  // a byte taken by an escape in code: part of a name, never a blank
};

}  // namespace kezurin::reference
