// The command-line program's own handling of its input: the lines it splits a
// file into (CR LF and lone LF), the encoding it detects, and its argument
// parsing. The bytes come in as one file
// and, cut at NUL bytes, as an argument list.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fuzz_support.hpp"
#include "input_text.hpp"
#include "options.hpp"
#include "kezurin/text_host.hpp"
#include "kezurin/utf8_check.hpp"

namespace kezurin::fuzz {
namespace {

bool IsValidUtf8(std::string_view text) {
    Utf8Check check;
    check.Feed(text);
    return check.Valid();
}

// UTF-8 decoded one code point at a time, the long way round: the value is
// built first and only then checked against the ranges that are allowed.
bool IsValidUtf8Decoding(std::string_view text) {
    constexpr std::uint32_t kSmallestOfLength[] = {0, 0x80, 0x800, 0x10000};
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t following;
        std::uint32_t value;
        if (lead < 0x80) {
            ++at;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            following = 1, value = lead & 0x1Fu;
        } else if ((lead & 0xF0) == 0xE0) {
            following = 2, value = lead & 0x0Fu;
        } else if ((lead & 0xF8) == 0xF0) {
            following = 3, value = lead & 0x07u;
        } else {
            return false;
        }
        if (text.size() - at - 1 < following) return false;
        for (std::size_t i = 1; i <= following; ++i) {
            const auto byte = static_cast<unsigned char>(text[at + i]);
            if ((byte & 0xC0) != 0x80) return false;
            value = value << 6 | (byte & 0x3Fu);
        }
        if (value < kSmallestOfLength[following] || value > 0x10FFFF) return false;
        if (value >= 0xD800 && value <= 0xDFFF) return false;
        at += following + 1;
    }
    return true;
}

void CheckLines(const std::string& text) {
    TextHost host(text, LineBreaks::CrLfOrLf);
    host.SetOutputText(host.GetInputText());
    Require(host.OutputText() == text, "joining the lines gives back the text and its line breaks");
    const SplitText split = Split(text, LineBreaks::CrLfOrLf);
    Require(Join(split) == text, "the plain split gives back the text");
    Require(host.GetLineCount() == split.lines.size() - (split.lines.back().empty() ? 1 : 0),
            "the host counts the lines of the plain split, less an empty last one");
}

void CheckEncoding(const std::string& text) {
    const bool utf8 = IsValidUtf8(text);
    Require(utf8 == IsValidUtf8Decoding(text), "UTF-8 is recognised exactly");
    Utf8Check inParts;
    for (std::size_t at = 0; at < text.size(); at += 7) inParts.Feed(std::string_view(text).substr(at, 7));
    Require(inParts.Valid() == utf8, "UTF-8 is recognised the same in parts");
    const char lead = '\x81';
    Require(cli::AutoCodePage(utf8).IsLeadByte(lead) == !utf8,
            "auto takes no lead bytes for UTF-8 and Shift-JIS for everything else");
}

void CheckRunKeepsBreaks(const std::string& text) {
    TextHost host(text, LineBreaks::CrLfOrLf);
    RunRemoval(host, cli::AutoCodePage(IsValidUtf8(text)));
    Require(host.Messages().empty(), "the run succeeds");
    LinesAfterRun(text, host, LineBreaks::CrLfOrLf, "(CR LF or LF, encoding auto)");
}

void CheckArguments(std::string_view bytes) {
    std::vector<std::string_view> arguments;
    for (std::size_t start = 0; start <= bytes.size();) {
        const std::size_t end = std::min(bytes.find('\0', start), bytes.size());
        arguments.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    const auto parsed = cli::ParseArguments(arguments);
    if (const auto* options = std::get_if<cli::Options>(&parsed)) {
        if (options->help || options->version) return;
        Require(!options->inputs.empty(), "there is always an input");
        Require(!(options->inPlace && options->outputPath), "-i and -o never together");
    }
}

}  // namespace
}  // namespace kezurin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    kezurin::fuzz::CheckLines(text);
    kezurin::fuzz::CheckEncoding(text);
    kezurin::fuzz::CheckRunKeepsBreaks(text);
    kezurin::fuzz::CheckArguments(text);
    return 0;
}
