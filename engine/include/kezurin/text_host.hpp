#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "kezurin/code_page.hpp"
#include "kezurin/removal_host.hpp"
#include "kezurin/removal_run.hpp"  // RunRemoval, which callers use with it

namespace kezurin {

struct LineMarks;  // the engine's own; see MarksOf

// Which byte sequences end a line. The window knows only CR LF; files may
// also use a lone LF.
enum class LineBreaks { CrLf, CrLfOrLf };

// A removal host over texts in memory. The output is kept as a table of lines
// that point into the text they came from; a line that a pass only shortens
// stays where it is, and only lines that change otherwise are copied, so a run
// costs about one pass over the text and little memory beyond it.
class TextHost final : public RemovalHost {
public:
    // Lines of at least this many bytes are refused (the run then fails).
    static constexpr std::size_t kMaxLineLength = (std::size_t{1} << 30) - 1;

    explicit TextHost(std::string input, LineBreaks breaks = LineBreaks::CrLf);
    // Lines point into the host's own text and blocks (a short input even
    // lives inside the string object), so a copy or a moved-to host would
    // read another host's memory.
    TextHost(const TextHost&) = delete;
    TextHost& operator=(const TextHost&) = delete;

    std::string_view GetInputText() override { return input_; }
    void SetOutputText(std::string_view text) override;

    // An empty last line, one without a line break, is not counted.
    std::size_t GetLineCount() override { return lineCount_; }
    std::string_view GetLine(std::size_t index) override;
    void PutLine(std::size_t index, std::string_view text) override;

    // The run's fast path, as its engine-internal MarkedLinesHost describes
    // it: a line's marks, found while splitting the text (defined, inline,
    // only where the run is built: nothing else calls it), a line in two
    // pieces, the caption's storage, and whether anything watches the
    // progress (a repaint hook).
    inline std::optional<LineMarks> MarksOf(std::size_t index) const;
    void PutLine(std::size_t index, std::string_view front, std::string_view back);

    void SetCaption(std::string_view caption) override {
        if (caption.data() != caption_.data() || caption.size() != caption_.size())
            caption_.assign(caption);
    }
    void Repaint() override {
        if (onRepaint_) onRepaint_();
    }
    void Beep() override { ++beeps_; }
    void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }

    // The output text with every line's own line break.
    std::string OutputText() const;
    // Hands the output text to `sink` piece by piece, without joining it.
    void WriteOutput(const std::function<void(std::string_view)>& sink) const;

    const std::string& Caption() const { return caption_; }
    std::string& CaptionStorage() { return caption_; }
    bool ProgressWatched() const { return static_cast<bool>(onRepaint_); }
    // The output set to the input less its comments, each line taken through
    // both passes at once: the run's way when no one watches its progress.
    void SetOutputTextWithoutComments(const CodePage& codePage);
    int BeepCount() const { return beeps_; }
    const std::vector<std::string>& Messages() const { return messages_; }
    // Called at every repaint of a run: where progress can be shown. The hook
    // may read the caption but not set it, as the run counts it up in place.
    void OnRepaint(std::function<void()> hook) { onRepaint_ = std::move(hook); }

private:
    struct Line {
        const char* data;
        std::uint32_t length;
        std::uint32_t capacity : 30;  // writable bytes at `data`; 0 for a line of the source text
        std::uint32_t breakLength : 2;  // 0 (last line), 1 (LF) or 2 (CR LF)
    };

    // Where slashes, asterisks and double quotes stand in the split text, a
    // bit for each byte; two zero words more, so that a line's bits, even an
    // empty line's at the end, can always be read from two words. Every line
    // of no capacity of its own points into that text.
    struct TextMarks {
        const char* text = nullptr;
        std::vector<std::uint64_t> slashes;
        std::vector<std::uint64_t> asterisks;
        std::vector<std::uint64_t> quotes;
    };

    // A block of copies of changed lines.
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::size_t size;
    };

    class LineTableWriter;  // fills the line table from a walk over the lines

    void SplitLines(std::string_view text);
    void SplitLines(std::string_view text, std::vector<Line>& lines, TextMarks& marks) const;
    char* Allocate(std::size_t size) {
        if (size > chunkFree_) NextChunk(size);
        char* const block = chunkNext_;
        chunkNext_ += size;
        chunkFree_ -= size;
        return block;
    }
    void NextChunk(std::size_t size);
    void ReuseChunks();

    LineBreaks breaks_;
    std::string input_;
    std::unique_ptr<char[]> ownText_;  // the output's source when it is not the input
    std::vector<Line> lines_;
    std::size_t lineCount_ = 0;
    TextMarks marks_;
    std::vector<Chunk> chunks_;  // copies of changed lines; never moved
    std::size_t usedChunks_ = 0;
    std::size_t chunkFree_ = 0;
    char* chunkNext_ = nullptr;
    std::string caption_;
    int beeps_ = 0;
    std::vector<std::string> messages_;
    std::function<void()> onRepaint_;
};

inline std::string_view TextHost::GetLine(std::size_t index) {
    const Line& line = lines_.at(index);
    return {line.data, line.length};
}

inline void TextHost::PutLine(std::size_t index, std::string_view text) {
    if (index >= GetLineCount()) return;
    if (text.size() > kMaxLineLength) throw std::length_error("line too long");
    Line& line = lines_[index];
    if (text.data() == line.data && text.size() <= line.length) {
        // A prefix of the line itself: the usual result of the line-comment pass.
    } else if (text.size() <= line.capacity) {
        std::memmove(const_cast<char*>(line.data), text.data(), text.size());
    } else {
        char* copy = Allocate(text.size());
        std::memcpy(copy, text.data(), text.size());
        line.data = copy;
        line.capacity = static_cast<std::uint32_t>(text.size());
    }
    line.length = static_cast<std::uint32_t>(text.size());
    if (index + 1 == lines_.size() && text.empty()) lineCount_ = index;  // no longer counted
}

inline void TextHost::PutLine(std::size_t index, std::string_view front, std::string_view back) {
    if (back.empty()) return PutLine(index, front);
    if (index >= GetLineCount()) return;
    const std::size_t size = front.size() + back.size();
    if (size > kMaxLineLength) throw std::length_error("line too long");
    // Always new memory: the pieces may stand in the line's own.
    char* const copy = Allocate(size);
    std::memcpy(copy, front.data(), front.size());
    std::memcpy(copy + front.size(), back.data(), back.size());
    Line& line = lines_[index];
    line.data = copy;
    line.length = static_cast<std::uint32_t>(size);
    line.capacity = static_cast<std::uint32_t>(size);
}

}  // namespace kezurin
