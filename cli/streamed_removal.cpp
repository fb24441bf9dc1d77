#include "streamed_removal.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
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
// What a pipe read on while choosing is kept in.
constexpr std::size_t kReadOnPartSize = 4 * 1024 * 1024;

// The input as read into one buffer: the start of a line that the next part
// goes on with, then the part.
class PartBuffer {
public:
    // Reads the next part after what the buffer holds with read(to, size);
    // its size, 0 at the end.
    template <class Read>
    std::size_t ReadMore(const Read& read) {
        if (size_ * 2 > capacity_) {
            // A long line: room to read the rest of it.
            auto larger = std::make_unique_for_overwrite<char[]>(capacity_ * 2);
            std::memcpy(larger.get(), bytes_.get(), size_);
            bytes_ = std::move(larger);
            capacity_ *= 2;
        }
        const std::size_t got = read(bytes_.get() + size_, capacity_ - size_);
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

// Whether a regular file is UTF-8 from `start` on: read from there, nothing
// kept, and left at `position` again.
bool FileIsUtf8(InputStream& input, std::uint64_t start, std::uint64_t position, const ProgressReport& progress) {
    const auto ahead = std::make_unique_for_overwrite<char[]>(kPartSize);
    Utf8Check utf8;
    input.SeekTo(start);
    for (std::uint64_t checked = start; !utf8.Failed();) {
        const std::size_t got = input.ReadSome(ahead.get(), kPartSize);
        if (got == 0) break;
        utf8.Feed({ahead.get(), got});
        checked += got;
        if (progress) progress(Pass::Utf8Check, checked - start);
    }
    input.SeekTo(position);
    return utf8.Valid();
}

// Reads a pipe on, keeping what it reads, until the input stops being UTF-8
// or ends: a pipe cannot be read twice.
std::deque<std::string> ReadOnWhileUtf8(InputStream& input, Utf8Check& utf8, std::uint64_t done,
                                        const ProgressReport& progress) {
    std::deque<std::string> parts;
    while (!utf8.Failed()) {
        // Filled up, as a pipe gives less at a time than a part holds.
        std::string part(kReadOnPartSize, '\0');
        std::size_t size = 0;
        for (std::size_t got = 1; got != 0 && size < part.size(); size += got)
            got = input.ReadSome(part.data() + size, part.size() - size);
        part.resize(size);
        if (part.empty()) break;
        utf8.Feed(part);
        done += part.size();
        if (progress) progress(Pass::Utf8Check, done);
        parts.push_back(std::move(part));
    }
    return parts;
}

}  // namespace

namespace {

// Calls `write` with the output's failures thrown as OutputError.
template <class Write>
decltype(auto) WritingOut(const Write& write) {
    try {
        return write();
    } catch (const FileError& error) {
        throw OutputError(error.what());
    }
}

// The removal writes into the output's own buffer.
class OutputSink final : public TextRemoval::Sink {
public:
    explicit OutputSink(Output& output) : output_(output) {}
    std::span<char> Room(std::size_t size) override {
        return WritingOut([&] { return output_.Room(size); });
    }
    void Wrote(std::size_t size) override { output_.Wrote(size); }
    void Write(std::string_view piece) override {
        WritingOut([&] { output_.Write(piece); });
    }

private:
    Output& output_;
};

}  // namespace

std::function<void(std::string_view)> WritingTo(Output& output) {
    return [&output](std::string_view piece) { WritingOut([&] { output.Write(piece); }); };
}

namespace {

// Takes everything `input` gives through `removal`, a part of whole lines at a time. While `choosing`, the code
// page is the one --encoding auto chooses from all of the input; it is chosen
// only once the two would give different output (TakeLinesAlike,
// LastLineAlike), before the first line where they would.
template <syntax::PartRemoval Removal>
void StreamThrough(InputStream& input, bool choosing, Removal& removal, const ProgressReport& progress) {
    const std::optional<InputStream::Place> place = input.RegularFilePlace();
    const std::uint64_t start = place ? place->position : 0;
    std::uint64_t position = start;
    // A pipe cannot be read again, so while choosing it is checked as it is
    // read, and what it gives once the choice is due is kept until chosen.
    Utf8Check utf8;
    std::deque<std::string> readOn;  // a pipe's parts read while choosing, still to go through
    std::size_t readOnDone = 0;      // of the first of them
    const auto choose = [&](bool validUtf8) {
        removal.UseCodePage(AutoCodePage(validUtf8));
        choosing = false;
    };
    const auto chooseNow = [&] {
        if (place) return choose(FileIsUtf8(input, start, position, progress));
        readOn = ReadOnWhileUtf8(input, utf8, position - start, progress);
        choose(utf8.Valid());
    };
    const CodePage other = AutoCodePage(false);
    if (choosing) removal.UseCodePage(AutoCodePage(true));
    const auto read = [&](char* to, std::size_t size) {
        if (readOn.empty()) return input.ReadSome(to, size);
        const std::string& part = readOn.front();
        size = std::min(size, part.size() - readOnDone);
        std::memcpy(to, part.data() + readOnDone, size);
        readOnDone += size;
        if (readOnDone == part.size()) {
            readOn.pop_front();
            readOnDone = 0;
        }
        return size;
    };
    PartBuffer buffer;
    for (;;) {
        const std::size_t got = buffer.ReadMore(read);
        position += got;
        if (choosing && !place) {
            utf8.Feed(buffer.Last(got));
            if (utf8.Failed()) choose(false);
        }
        const std::string_view text = buffer.Text();
        const std::size_t end = WholeLinesEnd(text, LineBreaks::CrLfOrLf);
        std::string_view lines = text.substr(0, end);
        if (choosing) {
            lines.remove_prefix(removal.TakeLinesAlike(lines, other));
            if (!lines.empty()) chooseNow();
        }
        removal.TakeLines(lines);
        if (got == 0) {
            const std::string_view lastLine = text.substr(end);
            if (choosing && !removal.LastLineAlike(lastLine, other)) chooseNow();
            return removal.Finish(lastLine);
        }
        buffer.Drop(end);
    }
}

}  // namespace

void RemoveCommentsStreamed(InputStream& input, std::optional<CodePage> codePage, Output& output,
                            const ProgressReport& progress) {
    OutputSink sink(output);
    TextRemoval removal(LineBreaks::CrLfOrLf, codePage.value_or(CodePage{}), sink);
    if (progress) removal.OnProgress([&progress](std::uint64_t done) { progress(Pass::Removal, done); });
    StreamThrough(input, !codePage, removal, progress);
}

std::optional<syntax::OpenConstruct> RemoveSyntaxStreamed(InputStream& input, std::optional<CodePage> codePage,
                                                          Output& output, const syntax::Syntax& syntax) {
    const std::unique_ptr<syntax::Removal> removal = syntax.make(codePage.value_or(CodePage{}), WritingTo(output));
    StreamThrough(input, !codePage, *removal, {});
    return removal->LeftOpen();
}

}  // namespace kezurin::cli
