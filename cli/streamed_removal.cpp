#include "streamed_removal.hpp"

#include <cstddef>
#include <cstring>
#include <memory>


namespace kezurin::cli {
namespace {

// Read a little at a time, the text stays in the processor's caches between
// reading, removal and writing; the parts are worked on in turn, as handing
// them between threads cost more than it saved.
constexpr std::size_t kPartSize = 128 * 1024;

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

void RemoveCommentsStreamed(InputStream& input, const CodePage& codePage, Output& output) {
    TextRemoval removal(LineBreaks::CrLfOrLf, codePage, WritingTo(output));
    std::size_t capacity = kPartSize;
    auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
    std::size_t size = 0;  // the start of a line that the next part goes on with, then the part
    for (;;) {
        const std::size_t got = input.ReadSome(buffer.get() + size, capacity - size);
        size += got;
        const std::string_view part(buffer.get(), size);
        if (got == 0) return removal.Finish(part);
        const std::size_t end = WholeLinesEnd(part, LineBreaks::CrLfOrLf);
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

void RemoveCommentsStreamed(std::string_view text, const CodePage& codePage, Output& output) {
    RemoveComments(text, LineBreaks::CrLfOrLf, codePage, WritingTo(output));
}

}  // namespace kezurin::cli
