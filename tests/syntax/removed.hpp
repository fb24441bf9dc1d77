#pragma once

// An exact syntax's removal over a text at once, or cut into parts.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kezurin/syntax/syntaxes.hpp"

namespace kezurin::syntax {

// Cut after the line breaks that `choice` picks, one bit a break, round and
// round: 0 gives the text at once, all ones a part for every line.
inline std::string RemovedInParts(MakeRemoval make, std::string_view text, const CodePage& codePage,
                                  std::uint64_t choice, CommentPolicy* policy = nullptr,
                                  std::optional<OpenConstruct>* open = nullptr) {
    std::string out;
    const auto removal = make(codePage, [&](std::string_view piece) { out.append(piece); });
    removal->UsePolicy(policy);
    std::size_t start = 0;
    unsigned bit = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        if ((choice >> (bit++ % 64) & 1) == 0) continue;
        removal->TakeLines(text.substr(start, lf + 1 - start));
        start = lf + 1;
    }
    const std::size_t end = std::max(start, text.rfind('\n') + 1);
    removal->TakeLines(text.substr(start, end - start));
    removal->Finish(text.substr(end));
    if (open != nullptr) *open = removal->LeftOpen();
    return out;
}

inline std::string Removed(MakeRemoval make, std::string_view text, const CodePage& codePage) {
    return RemovedInParts(make, text, codePage, 0);
}

}  // namespace kezurin::syntax
