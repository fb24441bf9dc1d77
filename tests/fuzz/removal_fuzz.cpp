// The whole removal run over arbitrary bytes, with Shift-JIS lead bytes and
// with none, with CR LF line breaks only and with lone LFs too. Checks what
// must hold for every input, and for small inputs compares the bytes with the
// plain transcription of the rules.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "line_table_host.hpp"
#include "reference_removal.hpp"
#include "removal_run.hpp"
#include "text_host.hpp"

namespace kezurin::fuzz {
namespace {

// The transcription rebuilds the line at every cut; beyond this size it would
// slow the fuzzer down more than it finds.
constexpr std::size_t kReferenceLimit = 4096;

void Require(bool holds, const char* property, const char* codePage, LineBreaks breaks) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s (code page %s, line breaks %s)\n", property, codePage,
                 breaks == LineBreaks::CrLf ? "CR LF" : "CR LF or LF");
    std::abort();
}

bool IsSubsequence(std::string_view part, std::string_view whole) {
    std::size_t at = 0;
    for (const char byte : part) {
        at = whole.find(byte, at);
        if (at == std::string_view::npos) return false;
        ++at;
    }
    return true;
}

// A pass only takes bytes away, except that a block comment over several
// lines leaves one space at the start of a line it closes on and one at the
// end of a line it opens on.
bool IsInputLessBytesPlusFillers(std::string_view out, std::string_view in) {
    for (const bool leading : {false, true}) {
        for (const bool trailing : {false, true}) {
            std::string_view middle = out;
            if (leading && (middle.empty() || middle.front() != ' ')) continue;
            if (leading) middle.remove_prefix(1);
            if (trailing && (middle.empty() || middle.back() != ' ')) continue;
            if (trailing) middle.remove_suffix(1);
            if (IsSubsequence(middle, in)) return true;
        }
    }
    return false;
}

bool RanCleanly(const std::vector<std::string>& messages, int beeps, std::string_view caption) {
    return messages.empty() && beeps == 1 && caption == kFinishedCaption;
}

void CheckRun(const std::string& input, const CodePage& codePage, const char* codePageName,
              LineBreaks breaks) {
    auto require = [&](bool holds, const char* property) {
        Require(holds, property, codePageName, breaks);
    };

    TextHost host(input, breaks);
    RunRemoval(host, codePage);
    require(RanCleanly(host.Messages(), host.BeepCount(), host.Caption()), "the run succeeds");
    const std::string output = host.OutputText();

    // Line by line, through the host's own lines: the output text itself may
    // hold new CR LF pairs where a cut brought a lone CR and LF together.
    const SplitText in = Split(input, breaks);
    const std::size_t countedBefore = in.lines.size() - (in.lines.back().empty() ? 1 : 0);
    const std::size_t counted = host.GetLineCount();
    require(counted == countedBefore || counted + 1 == countedBefore, "the line count stays");
    SplitText out{{}, in.breaks};
    for (std::size_t i = 0; i < in.lines.size(); ++i)
        out.lines.emplace_back(i < counted ? std::string(host.GetLine(i)) : std::string());
    require(Join(out) == output, "every line break stays where it was");
    for (std::size_t i = 0; i < in.lines.size(); ++i) {
        require(out.lines[i].size() <= std::max<std::size_t>(in.lines[i].size(), 1),
                "no line grows by more than one byte");
        require(IsInputLessBytesPlusFillers(out.lines[i], in.lines[i]),
                "every line is its input with bytes taken away and filler spaces put in");
    }
    if (input.find('/') == std::string::npos) require(output == input, "a text without '/' stays");

    LineTableHost plain(input, breaks);
    RunRemoval(static_cast<RemovalHost&>(plain), codePage);
    require(RanCleanly(plain.Messages(), plain.BeepCount(), plain.Caption()),
            "the run succeeds on a host of one string per line");
    require(plain.OutputText() == output, "the storage of the lines makes no difference");

    RunRemoval(host, codePage);
    require(host.OutputText() == output, "a second run gives the same output");

    if (breaks == LineBreaks::CrLf && input.size() <= kReferenceLimit)
        require(reference::Removal(input, codePage) == output, "the rules' own bytes");
}

}  // namespace
}  // namespace kezurin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kezurin;
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (const LineBreaks breaks : {LineBreaks::CrLf, LineBreaks::CrLfOrLf}) {
        fuzz::CheckRun(input, kShiftJis, "932", breaks);
        fuzz::CheckRun(input, CodePage{}, "without lead bytes", breaks);
    }
    return 0;
}
