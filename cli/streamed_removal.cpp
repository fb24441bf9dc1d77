#include "streamed_removal.hpp"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

#include "input_text.hpp"
#include "kezurin/line_breaks.hpp"
#include "kezurin/utf8_check.hpp"

namespace kezurin::cli {
namespace {

// Read a little at a time, the text stays in the processor's caches between
// reading, removal and writing; the parts are worked on in turn, as handing
// them between threads cost more than it saved.
constexpr std::size_t kPartSize = 128 * 1024;

// The input as read into one buffer: the start of a line that the next part
// goes on with, then the part.
class PartBuffer {
public:
    // Reads the next part after what the buffer holds; its size, 0 at the end.
    std::size_t ReadMore(InputStream& input) {
        if (size_ * 2 > capacity_) {
            // A long line, or a pipe read on: room to read more of it.
            auto larger = std::make_unique_for_overwrite<char[]>(capacity_ * 2);
            std::memcpy(larger.get(), bytes_.get(), size_);
            bytes_ = std::move(larger);
            capacity_ *= 2;
        }
        const std::size_t got = input.ReadSome(bytes_.get() + size_, capacity_ - size_);
        size_ += got;
        return got;
    }
    std::string_view Text() const { return {bytes_.get(), size_}; }
    std::string_view Last(std::size_t size) const { return Text().substr(size_ - size); }
    // Lets go of the first `size` bytes.
    void Drop(std::size_t size) {
        std::memmove(bytes_.get(), bytes_.get() + size, size_ - size);
        size_ -= size;
    }

private:
    std::size_t capacity_ = kPartSize;
    std::unique_ptr<char[]> bytes_ = std::make_unique_for_overwrite<char[]>(kPartSize);
    std::size_t size_ = 0;
};

// Whether the code page can make a difference to the removal of `lines`.
bool ChoiceMatters(std::string_view lines) {
    return AsciiPrefixLength(lines) != lines.size() && LeadByteBeforeMark(lines, kShiftJis);
}

// Whether all of a regular file is UTF-8: what was read up to `position`, as
// `utf8` saw it, and the rest, read ahead and then gone back from.
bool RestIsUtf8(InputStream& input, std::uint64_t start, std::uint64_t position, Utf8Check utf8,
                const ProgressReport& progress) {
    const auto ahead = std::make_unique_for_overwrite<char[]>(kPartSize);
    for (std::uint64_t checked = position; !utf8.Failed();) {
        const std::size_t got = input.ReadSome(ahead.get(), kPartSize);
        if (got == 0) break;
        utf8.Feed({ahead.get(), got});
        checked += got;
        if (progress) progress(Pass::Utf8Check, checked - start);
    }
    input.SeekTo(position);
    return utf8.Valid();
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

void RemoveCommentsStreamed(InputStream& input, std::optional<CodePage> codePage, Output& output,
                            const ProgressReport& progress) {
    TextRemoval removal(LineBreaks::CrLfOrLf, codePage.value_or(CodePage{}), WritingTo(output));
    if (progress) removal.OnProgress([&progress](std::uint64_t done) { progress(Pass::Removal, done); });
    bool choosing = !codePage;  // --encoding auto, until the choice is made
    bool readingOn = false;     // a pipe, read on until the choice is made
    Utf8Check utf8;             // all that was read, while choosing
    const auto choose = [&](bool validUtf8) {
        removal.UseCodePage(AutoCodePage(validUtf8));
        choosing = false;
    };
    const std::optional<InputStream::Place> place = input.RegularFilePlace();
    const std::uint64_t start = place ? place->position : 0;
    std::uint64_t position = start;
    PartBuffer buffer;
    for (;;) {
        const std::size_t got = buffer.ReadMore(input);
        position += got;
        if (choosing) {
            utf8.Feed(buffer.Last(got));
            if (utf8.Failed()) choose(false);
        }
        const std::string_view text = buffer.Text();
        const std::size_t end = WholeLinesEnd(text, LineBreaks::CrLfOrLf);
        if (got == 0) {
            if (choosing) choose(utf8.Valid());
            removal.TakeLines(text.substr(0, end));
            return removal.Finish(text.substr(end));
        }
        if (choosing && (readingOn || ChoiceMatters(text.substr(0, end)))) {
            if (!place) {
                readingOn = true;
                if (progress) progress(Pass::Utf8Check, position - start);
                continue;
            }
            choose(RestIsUtf8(input, start, position, utf8, progress));
        }
        removal.TakeLines(text.substr(0, end));
        buffer.Drop(end);
    }
}

}  // namespace kezurin::cli
