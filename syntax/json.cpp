#include "json.hpp"

#include "kezurin/syntax/syntaxes.hpp"

namespace kezurin::syntax {

std::unique_ptr<Removal> MakeJsonRemoval(const CodePage& codePage, Removal::Sink sink) {
    return std::make_unique<JsonLexer>(codePage, std::move(sink));
}

}  // namespace kezurin::syntax
