#include "streamed_removal.hpp"

#include <cstddef>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "input_text.hpp"


namespace kezurin::cli {
namespace {

// Read a little at a time, the text stays in the processor's caches between
// reading, removal and writing; the parts are worked on in turn, as handing
// them between threads cost more than it saved.
constexpr std::size_t kPartSize = 128 * 1024;

// The lines of `part` up to `end`, and then the rest of the input: the line
// begun at the end of `part` followed by `more`.
void TakeRest(TextRemoval& removal, std::string_view part, std::size_t end, std::string_view more) {
    removal.TakeLines(part.substr(0, end));
    std::string joined(part.substr(end));
    const std::size_t firstBreak = more.find('\n');
    if (firstBreak == std::string_view::npos) return removal.Finish(joined.append(more));
    removal.TakeLines(joined.append(more.substr(0, firstBreak + 1)));
    more.remove_prefix(firstBreak + 1);
    const std::size_t wholeLines = WholeLinesEnd(more, LineBreaks::CrLfOrLf);
    removal.TakeLines(more.substr(0, wholeLines));
    removal.Finish(more.substr(wholeLines));
}

}  // namespace

TextRemoval::Sink WritingTo(Output& output) {
    return [&output](std::string_view piece) {
        try {
            output.Write(piece);
        } catch (const FileError& error) {
            throw OutputError(error.what());
        }
    };
}

void RemoveCommentsStreamed(InputStream& input, std::optional<CodePage> codePage, Output& output) {
    // With the code page to be decided from all of the input, the parts go
    // through without lead bytes for as long as that makes no difference.
    const bool deciding = !codePage;
    Utf8Check utf8;
    TextRemoval removal(LineBreaks::CrLfOrLf, codePage.value_or(CodePage{}), WritingTo(output));
    std::size_t capacity = kPartSize;
    auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t size = 0;  // the start of a line that the next part goes on with, then the part
    for (;;) {
        const std::size_t got = input.ReadSome(buffer.get() + size, capacity - size);
        if (deciding) utf8.Feed({buffer.get() + size, got});
        size += got;
        const std::string_view part(buffer.get(), size);
        if (got == 0) {
            if (deciding) removal.UseCodePage(utf8.Valid() ? CodePage{} : kShiftJis);
            return removal.Finish(part);
        }
        const std::size_t end = WholeLinesEnd(part, LineBreaks::CrLfOrLf);
        const std::string_view lines = part.substr(0, end);
        if (deciding && AsciiPrefixLength(lines) != lines.size() && LeadByteBeforeMark(lines, kShiftJis)) {
            // From here the choice matters: the rest is read, and then it is made.
            const std::string more = input.ReadRest();
            utf8.Feed(more);
            removal.UseCodePage(utf8.Valid() ? CodePage{} : kShiftJis);
            return TakeRest(removal, part, end, more);
        }
        removal.TakeLines(part.substr(0, end));
        size -= end;
        if (size * 2 > capacity) {
            // A long line: room to read the rest of it.
            auto larger = std::make_unique_for_overwrite<char[]>(capacity * 2);
            std::memcpy(larger.get(), buffer.get() + end, size);
            buffer = std::move(larger);
            capacity *= 2;
        } else {
            std::memmove(buffer.get(), buffer.get() + end, size);
        }
    }
}

}  // namespace kezurin::cli
