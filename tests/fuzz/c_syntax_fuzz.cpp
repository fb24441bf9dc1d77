// kezurin-cli --syntax c against the plain reference lexer, in UTF-8 and in
// Shift-JIS: the same output whole and in parts cut at any line boundaries,
// every line kept, nothing left to remove the second time, and a text
// without a slash passed through as it is.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "../cli/c_syntax_reference.hpp"
#include "c_syntax_removal.hpp"
#include "fuzz_support.hpp"

namespace kezurin::fuzz {
namespace {

// Cut after the line breaks that `choice` picks, one bit a break, round and round.
std::string RemovedInParts(std::string_view text, const CodePage& codePage, std::uint64_t choice) {
    std::string out;
    cli::CSyntaxRemoval removal(codePage, [&](std::string_view piece) { out.append(piece); });
    std::size_t start = 0;
    unsigned bit = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        if ((choice >> (bit++ % 64) & 1) == 0) continue;
        removal.TakeLines(text.substr(start, lf + 1 - start));
        start = lf + 1;
    }
    const std::size_t end = std::max(start, text.rfind('\n') + 1);
    removal.TakeLines(text.substr(start, end - start));
    removal.Finish(text.substr(end));
    return out;
}

void Check(std::string_view text, const CodePage& codePage, std::uint64_t choice, const char* setting) {
    const std::string out = cli::CSyntaxRemoved(text, codePage);
    Require(out == reference::CSyntaxOutput(text, codePage), "the reference lexer gives the same", setting);
    Require(RemovedInParts(text, codePage, choice) == out, "parts give the same", setting);
    Require(RemovedInParts(text, codePage, ~std::uint64_t{0}) == out, "line by line gives the same", setting);
    Require(std::count(out.begin(), out.end(), '\n') == std::count(text.begin(), text.end(), '\n'),
            "the line count stays", setting);
    Require(cli::CSyntaxRemoved(out, codePage) == out, "the output of the output is the output", setting);
    if (text.find('/') == std::string_view::npos) Require(out == text, "without a slash nothing changes", setting);
}

}  // namespace
}  // namespace kezurin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first eight bytes choose the cuts, the rest is the text.
    std::uint64_t choice = 0;
    const std::size_t taken = std::min<std::size_t>(size, 8);
    for (std::size_t i = 0; i < taken; ++i) choice = choice << 8 | data[i];
    const std::string_view text(reinterpret_cast<const char*>(data) + taken, size - taken);
    kezurin::fuzz::Check(text, kezurin::CodePage{}, choice, "(UTF-8)");
    kezurin::fuzz::Check(text, kezurin::kShiftJis, choice, "(Shift-JIS)");
    return 0;
}
