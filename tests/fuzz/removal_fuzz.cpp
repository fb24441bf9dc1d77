// The whole removal over arbitrary bytes, by both routes, with Shift-JIS lead
// bytes and with none, with CR LF line breaks only and with lone LFs too.
// Checks what must hold for every input, that the routes and the two ways of
// searching a line agree, and for small inputs compares the bytes with the
// plain transcription of the rules.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "kezurin/block_scan.hpp"
#include "kezurin/byte_scan.hpp"
#include "line_search.hpp"
#include "reference_removal.hpp"
#include "kezurin/removal_run.hpp"
#include "kezurin/text_host.hpp"
#include "kezurin/text_removal.hpp"

namespace kezurin::fuzz {
namespace {

// The transcription rebuilds the line at every cut; beyond this size it would
// slow the fuzzer down more than it finds.
constexpr std::size_t kReferenceLimit = 4096;

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

void CheckRun(const std::string& input, const CodePage& codePage, const char* setting,
              LineBreaks breaks) {
    auto require = [&](bool holds, const char* property) { Require(holds, property, setting); };

    TextHost host(input, breaks);
    RunRemoval(host, codePage);
    require(RanCleanly(host.Messages(), host.BeepCount(), host.Caption()), "the run succeeds");
    const std::string output = host.OutputText();

    const SplitText in = Split(input, breaks);
    const SplitText out = LinesAfterRun(input, host, breaks, setting);
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

    // Passing through in parts: whole lines, cut where the input's bytes say.
    std::string passed;
    AppendingTo passedSink(passed);
    TextRemoval removal(breaks, codePage, passedSink);
    const std::string_view text(input);
    const std::size_t end = WholeLinesEnd(text, breaks);
    for (std::size_t at = 0; at < end;) {
        const std::size_t wanted = 1 + static_cast<unsigned char>(text[at]) % 97;
        const std::size_t cut = WholeLinesEnd(text.substr(at, std::min(wanted, end - at)), breaks);
        const std::size_t next = cut == 0 ? end : at + cut;
        removal.TakeLines(text.substr(at, next - at));
        at = next;
    }
    removal.Finish(text.substr(end));
    require(passed == output, "passing through in parts gives the same output (the two routes agree)");
    std::string whole;
    AppendingTo wholeSink(whole);
    RemoveComments(input, breaks, codePage, wholeSink);
    require(whole == output, "passing through at once gives the same output");

    if (breaks == LineBreaks::CrLf && input.size() <= kReferenceLimit)
        require(reference::Removal(input, codePage) == output, "the rules' own bytes");
}

// The search over a line's marks finds what the search over its bytes finds.
template <class Marks>
void CheckSearches(std::string_view line, const CodePage& codePage) {
    if (line.size() > Marks::kMaxLength) return;
    const detail::ByteSearch bytes{line, codePage};
    const auto marks = Marks::Of(line, line.size(), codePage);
    for (const std::string_view pattern : {"//", "/*", "*/", "\"", "/"}) {
        for (std::size_t piece = 0; piece <= line.size(); ++piece) {
            Require(marks.FindBytes(pattern, piece) == bytes.FindBytes(pattern, piece), "the marks find the bytes");
            for (std::size_t from = piece; from <= line.size(); ++from)
                Require(marks.Find(pattern, from, piece) == bytes.Find(pattern, from, piece),
                        "the marks find what counts");
        }
    }
}

// While the code page is still to be chosen, the lines taken alike come out
// as both code pages make them, and choosing before the first line where they
// part gives the chosen one's output.
void CheckAlike(std::string_view text, LineBreaks breaks) {
    const auto removed = [&](const CodePage& codePage) {
        std::string output;
        AppendingTo sink(output);
        RemoveComments(text, breaks, codePage, sink);
        return output;
    };
    const std::string withoutLeadBytes = removed(CodePage{}), withLeadBytes = removed(kShiftJis);
    const std::size_t end = WholeLinesEnd(text, breaks);
    for (const CodePage* chosen : {&kShiftJis, static_cast<const CodePage*>(nullptr)}) {
        std::string passed;
        AppendingTo sink(passed);
        TextRemoval removal(breaks, CodePage{}, sink);
        const std::size_t taken = removal.TakeLinesAlike(text.substr(0, end), kShiftJis);
        Require(withoutLeadBytes.starts_with(passed) && withLeadBytes.starts_with(passed),
                "the lines taken alike come out as both code pages make them", "");
        const bool allAlike = taken == end && removal.LastLineAlike(text.substr(end), kShiftJis);
        if (allAlike) Require(withoutLeadBytes == withLeadBytes, "a text taken alike throughout is one output", "");
        if (chosen) removal.UseCodePage(*chosen);
        removal.TakeLines(text.substr(taken, end - taken));
        removal.Finish(text.substr(end));
        Require(passed == (chosen ? withLeadBytes : withoutLeadBytes), "the choice gives the chosen one's output", "");
    }
}

// Every vector path this processor has gives the scalar path's bytes, taken
// alike as far, and finds the same bytes.
void CheckPaths(std::string_view text) {
    const blocks::Vectors chosen = blocks::ChosenVectors();
    const auto outputs = [&] {
        std::string output;
        for (const LineBreaks breaks : {LineBreaks::CrLf, LineBreaks::CrLfOrLf}) {
            const std::size_t end = WholeLinesEnd(text, breaks);
            for (const CodePage& codePage : {kShiftJis, CodePage{}}) {
                AppendingTo sink(output);
                RemoveComments(text, breaks, codePage, sink);
                TextRemoval removal(breaks, CodePage{}, sink);
                output += std::to_string(removal.TakeLinesAlike(text.substr(0, end), kShiftJis));
            }
        }
        for (std::size_t from = 0; from <= text.size(); from += 7)
            output += std::to_string(FindFirstOf(text, from, std::array{'/', '\n', '\x81'}));
        return output;
    };
    blocks::UseVectors(blocks::Vectors::kScalar);
    const std::string scalar = outputs();
    for (const blocks::Vectors vectors : {blocks::Vectors::kSse2, blocks::Vectors::kAvx2}) {
        if (blocks::UseVectors(vectors) == vectors) Require(outputs() == scalar, "every path gives the scalar bytes");
    }
    blocks::UseVectors(chosen);
}

}  // namespace
}  // namespace kezurin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kezurin;
    const std::string input(reinterpret_cast<const char*>(data), size);
    for (const CodePage& codePage : {kShiftJis, CodePage{}}) {
        fuzz::CheckSearches<detail::MarkedSearch>(input, codePage);
    }
    fuzz::CheckRun(input, kShiftJis, "(code page 932, CR LF)", LineBreaks::CrLf);
    fuzz::CheckRun(input, CodePage{}, "(no lead bytes, CR LF)", LineBreaks::CrLf);
    fuzz::CheckRun(input, kShiftJis, "(code page 932, CR LF or LF)", LineBreaks::CrLfOrLf);
    fuzz::CheckRun(input, CodePage{}, "(no lead bytes, CR LF or LF)", LineBreaks::CrLfOrLf);
    fuzz::CheckAlike(input, LineBreaks::CrLf);
    fuzz::CheckAlike(input, LineBreaks::CrLfOrLf);
    fuzz::CheckPaths(input);
    return 0;
}
