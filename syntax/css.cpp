#include "css.hpp"

#include "kezurin/syntax/syntaxes.hpp"

namespace kezurin::syntax {

std::unique_ptr<Removal> MakeCssRemoval(const CodePage& codePage, Removal::Sink sink) {
    return std::make_unique<CssLexer>(codePage, std::move(sink));
}
std::unique_ptr<Removal> MakeScssRemoval(const CodePage& codePage, Removal::Sink sink) {
    return std::make_unique<ScssLexer>(codePage, std::move(sink));
}
std::unique_ptr<Removal> MakeLessRemoval(const CodePage& codePage, Removal::Sink sink) {
    return std::make_unique<LessLexer>(codePage, std::move(sink));
}

}  // namespace kezurin::syntax
