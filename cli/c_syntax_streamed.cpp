#include "c_syntax_streamed.hpp"

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "c_syntax_removal.hpp"
#include "input_text.hpp"
#include "streamed_removal.hpp"  // WritingTo
#include "kezurin/text_removal.hpp"  // WholeLinesEnd

namespace kezurin::cli {
namespace {

constexpr std::size_t kPartSize = 128 * 1024;

std::size_t WholeLines(std::string_view text) { return WholeLinesEnd(text, LineBreaks::CrLfOrLf); }

// `begun`, the start of a line, followed by `more`, the rest of the input.
void TakeRest(CSyntaxRemoval& removal, std::string_view begun, std::string_view more) {
    const std::size_t firstBreak = more.find('\n');
    std::string joined(begun);
    if (firstBreak == std::string_view::npos) return removal.Finish(joined.append(more));
    removal.TakeLines(joined.append(more.substr(0, firstBreak + 1)));
    more.remove_prefix(firstBreak + 1);
    removal.TakeLines(more.substr(0, WholeLines(more)));
    removal.Finish(more.substr(WholeLines(more)));
}

}  // namespace

void RemoveCSyntaxStreamed(InputStream& input, std::optional<CodePage> codePage, Output& output) {
    const bool deciding = !codePage;
    Utf8Check utf8;
    CSyntaxRemoval removal(codePage.value_or(CodePage{}), WritingTo(output));
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
        const std::size_t end = WholeLines(part);
        if (deciding && CodePageMattersForCSyntax(part.substr(0, end))) {
            // From here the choice matters: the rest is read, and then it is made.
            const std::string more = input.ReadRest();
            utf8.Feed(more);
            removal.UseCodePage(utf8.Valid() ? CodePage{} : kShiftJis);
            removal.TakeLines(part.substr(0, end));
            return TakeRest(removal, part.substr(end), more);
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
