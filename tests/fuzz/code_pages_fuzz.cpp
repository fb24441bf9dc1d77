// The window's route and the Shift-JIS route give the same text: random
// well-formed Shift-JIS, removed as Shift-JIS bytes with code page 932 and,
// converted to UTF-8, with no lead bytes, as the window does since its panes
// hold Unicode; the two outputs must be the same text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "cp932.hpp"
#include "fuzz_support.hpp"
#include "kezurin/removal_run.hpp"
#include "kezurin/text_host.hpp"

namespace kezurin::fuzz {
namespace {

// Every input byte below 0x80 stands for itself, so the fuzzer writes the
// marks, quotes and line breaks it likes; a higher byte picks a half-width
// katakana, or with the byte after it a double-byte character, among them
// those whose second byte looks like ASCII ("\", "|", letters).
std::string WellFormedShiftJis(const std::uint8_t* data, std::size_t size) {
    const Cp932Characters& characters = RoundTripCharacters();
    std::string text;
    for (std::size_t at = 0; at < size; ++at) {
        const std::uint8_t byte = data[at];
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else if (byte < 0xA0 || at + 1 == size) {
            text += characters.single[byte % characters.single.size()];
        } else {
            const std::size_t pick = static_cast<std::size_t>(byte - 0xA0) << 8 | data[++at];
            text += characters.doubleByte[pick * 7 % characters.doubleByte.size()];
        }
    }
    return text;
}

}  // namespace
}  // namespace kezurin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kezurin;
    using namespace kezurin::fuzz;
    Require(Utf8FromCp932().Usable() && Cp932FromUtf8().Usable(), "iconv knows CP932");
    const std::string shiftJis = WellFormedShiftJis(data, size);
    const std::optional<std::string> utf8 = Utf8FromCp932()(shiftJis);
    Require(utf8.has_value(), "the generated text is well-formed Shift-JIS");

    TextHost asShiftJis(shiftJis);
    RunRemoval(asShiftJis, kShiftJis);
    // The window's host goes through the run line by line, like this one.
    LineTableHost asUtf8(*utf8, LineBreaks::CrLf);
    RunRemoval(asUtf8, CodePage());
    Require(asUtf8.Messages().empty() && asShiftJis.Messages().empty(), "both runs succeed");

    const std::optional<std::string> expected = Utf8FromCp932()(asShiftJis.OutputText());
    Require(expected.has_value(), "the Shift-JIS output is well-formed");
    Require(*expected == asUtf8.OutputText(), "UTF-8 without lead bytes gives the Shift-JIS result");
    return 0;
}
