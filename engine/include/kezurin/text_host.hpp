#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "kezurin/line_breaks.hpp"
#include "kezurin/removal_host.hpp"
#include "kezurin/removal_run.hpp"  // RunRemoval, which callers use with it

namespace kezurin {

// A removal host over texts in memory: the window keeps its output here
// during a run, and tests run the removal on it. The output is a table of
// lines that point into the text they came from; a line that a pass only
// shortens stays where it is, and only lines that change otherwise are
// copied, so a run costs little memory beyond the text.
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
    std::size_t GetLineCount() override { return lineCount_; }
    std::string_view GetLine(std::size_t index) override;
    void PutLine(std::size_t index, std::string_view text) override;
    void SetCaption(std::string_view caption) override { caption_.assign(caption); }
    void Repaint() override {}
    void Beep() override { ++beeps_; }
    void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }

    // The output text with every line's own line break.
    std::string OutputText() const;
    // Where line `index` ends in the output text, before its line break.
    std::size_t LineEndOffset(std::size_t index) const;
    const std::string& Caption() const { return caption_; }
    int BeepCount() const { return beeps_; }
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    struct Line {
        const char* data;
        std::uint32_t length;
        std::uint32_t capacity : 30;  // writable bytes at `data`; 0 for a line of the source text
        std::uint32_t breakLength : 2;  // 0 (last line), 1 (LF) or 2 (CR LF)
    };

    // A block of copies of changed lines.
    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::size_t size;
    };

    char* Allocate(std::size_t size);

    LineBreaks breaks_;
    std::string input_;
    std::unique_ptr<char[]> ownText_;  // the output's source when it is not the input
    std::vector<Line> lines_;
    std::size_t lineCount_ = 0;
    std::vector<Chunk> chunks_;  // copies of changed lines; never moved
    std::size_t usedChunks_ = 0;
    std::size_t chunkFree_ = 0;
    char* chunkNext_ = nullptr;
    std::string caption_;
    int beeps_ = 0;
    std::vector<std::string> messages_;
};

}  // namespace kezurin
