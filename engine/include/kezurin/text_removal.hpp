#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"
#include "kezurin/line_breaks.hpp"

namespace kezurin {

// Comment removal for a text that only passes through, such as a file on its
// way to another: the route of every caller that watches no captions (see
// RunRemoval for the two routes). Nothing is kept and no caption is set. The
// text may come in parts of whole lines, and the output goes to the sink as
// it is made.
class TextRemoval {
public:
    // Where the output goes. The removal writes most of it straight into room
    // that the sink gives, its own buffer, so that the output is copied once;
    // long runs of the text it hands over as they stand. The output is, in
    // order, every run of bytes committed with Wrote and every piece given to
    // Write. One removal at a time writes to a sink.
    class Sink {
    public:
        // Room for at least `size` bytes (at most kMaxRoom) after all output
        // so far; valid until the next call.
        virtual std::span<char> Room(std::size_t size) = 0;
        // The first `size` bytes of the room last given are output.
        virtual void Wrote(std::size_t size) = 0;
        // A piece of output, valid only during the call.
        virtual void Write(std::string_view piece) = 0;

        static constexpr std::size_t kMaxRoom = 4096;

    protected:
        ~Sink() = default;
    };
    // Told the bytes of input taken so far, after each part.
    using Progress = std::function<void(std::uint64_t bytesDone)>;

    TextRemoval(LineBreaks breaks, const CodePage& codePage, Sink& sink);

    // Removes the comments of `lines`, whole lines each ending in its line break.
    void TakeLines(std::string_view lines);
    // The text's last line, which has no line break (it may be empty); ends the text.
    void Finish(std::string_view lastLine);
    // While the code page is still to be chosen: TakeLines for as long as
    // `other` would leave every line the same, stopping before the first it
    // would not; returns the bytes taken. The output is then that of either.
    std::size_t TakeLinesAlike(std::string_view lines, const CodePage& other);
    // Whether `other` would leave the last line, as Finish takes it, the same.
    bool LastLineAlike(std::string_view lastLine, const CodePage& other) const;
    // The code page for the lines from here on.
    void UseCodePage(const CodePage& codePage) { codePage_ = codePage; }
    void OnProgress(Progress progress) { progress_ = std::move(progress); }

private:
    void Taken(std::size_t bytes);

    LineBreaks breaks_;
    CodePage codePage_;
    Sink& sink_;
    Progress progress_;
    std::uint64_t bytesDone_ = 0;
    bool InBlockComment_ = false;
    std::string scratch_;
};

// A sink that appends the output to a string.
class AppendingTo final : public TextRemoval::Sink {
public:
    explicit AppendingTo(std::string& text) : text_(text), written_(text.size()) {}
    std::span<char> Room(std::size_t size) override {
        text_.resize(written_ + size);
        return {text_.data() + written_, size};
    }
    void Wrote(std::size_t size) override { text_.resize(written_ += size); }
    void Write(std::string_view piece) override {
        piece.copy(Room(piece.size()).data(), piece.size());
        Wrote(piece.size());
    }

private:
    std::string& text_;
    std::size_t written_;
};

// The whole of `text` at once.
void RemoveComments(std::string_view text, LineBreaks breaks, const CodePage& codePage, TextRemoval::Sink& sink);

}  // namespace kezurin
