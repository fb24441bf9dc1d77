#include "kezurin/text_host.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <stdexcept>

#include "block_scan.hpp"
#include "kezurin/text_removal.hpp"  // WholeLinesEnd
#include "line_marks.hpp"
#include "line_walk.hpp"
#include "marked_host.hpp"
#include "removal_run_core.hpp"

namespace kezurin {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

bool Contains(std::string_view outer, std::string_view inner) {
    return !inner.empty() && inner.data() >= outer.data() &&
           inner.data() + inner.size() <= outer.data() + outer.size();
}

}  // namespace

static_assert(detail::MarkedLinesHost<TextHost>);

inline std::optional<LineMarks> TextHost::MarksOf(std::size_t index) const {
    const Line& line = lines_.at(index);
    // A line still in the split text (a prefix of one included) has no capacity of its own.
    if (line.capacity != 0 || line.length > LineMarks::kMaxLength) return std::nullopt;
    const std::size_t offset = static_cast<std::size_t>(line.data - marks_.text);
    const std::size_t word = offset / 64;
    const unsigned shift = offset % 64;
    const std::uint64_t keep = line.length == 64 ? ~std::uint64_t{0}
                                                 : (std::uint64_t{1} << line.length) - 1;
    const auto bitsOf = [&](const std::vector<std::uint64_t>& bits) {
        return ((bits[word] >> shift) | ((bits[word + 1] << 1) << (63 - shift))) & keep;
    };
    return LineMarks{bitsOf(marks_.slashes), bitsOf(marks_.asterisks), bitsOf(marks_.quotes)};
}

TextHost::TextHost(std::string input, LineBreaks breaks)
    : breaks_(breaks), input_(std::move(input)) {
    SplitLines({});
}

void TextHost::SetOutputText(std::string_view text) {
    std::unique_ptr<char[]> own;
    if (!Contains(input_, text)) {
        // Copied first: `text` may be a view of the current output.
        own = std::make_unique_for_overwrite<char[]>(text.size());
        std::memcpy(own.get(), text.data(), text.size());
        text = {own.get(), text.size()};
    }
    SplitLines(text);
    ownText_ = std::move(own);
    ReuseChunks();
}

void TextHost::ReuseChunks() {
    // The copies of the last run's lines are gone; their memory is used again.
    usedChunks_ = 0;
    chunkFree_ = 0;
    chunkNext_ = nullptr;
}

void TextHost::SplitLines(std::string_view text) {
    // Filled as locals so that the loop keeps them in registers; the tables'
    // memory is reused from the last run.
    std::vector<Line> lines = std::move(lines_);
    TextMarks marks = std::move(marks_);
    try {
        SplitLines(text, lines, marks);
    } catch (...) {
        // Back to an empty text, in memory the tables have had since the host
        // was made, so that this cannot fail as well.
        SplitLines({}, lines, marks);
        lines_ = std::move(lines);
        marks_ = std::move(marks);
        lineCount_ = 0;
        throw;
    }
    lines_ = std::move(lines);
    marks_ = std::move(marks);
    lineCount_ = lines_.size() - (lines_.back().length == 0 ? 1 : 0);
}

void TextHost::SplitLines(std::string_view text, std::vector<Line>& lines, TextMarks& marks) const {
    lines.clear();
    // Every block's word is written below; only the words after them need zeros.
    const std::size_t blocks = (text.size() + detail::kBlockSize - 1) / detail::kBlockSize;
    for (auto* bits : {&marks.slashes, &marks.asterisks, &marks.quotes}) {
        bits->resize(blocks + 2);
        bits->end()[-2] = bits->end()[-1] = 0;
    }
    marks.text = text.data();
    const bool lineFeedEnds = breaks_ == LineBreaks::CrLfOrLf;
    std::size_t start = 0;
    auto addLine = [&](std::size_t end, unsigned breakLength) {
        const std::size_t length = end - start;
        if (length > kMaxLineLength) throw std::length_error("line too long");
        lines.push_back(Line{text.data() + start, static_cast<std::uint32_t>(length), 0, breakLength});
    };
    const std::array<char, 4> marked = {'\n', '/', '*', '"'};
    detail::ForEachBlock(text, marked, [&](std::size_t offset, const auto& found) {
        const std::size_t word = offset / detail::kBlockSize;
        marks.slashes[word] = found[1];
        marks.asterisks[word] = found[2];
        marks.quotes[word] = found[3];
        for (std::uint64_t feeds = found[0]; feeds != 0; feeds &= feeds - 1) {
            const std::size_t lf = offset + static_cast<std::size_t>(std::countr_zero(feeds));
            const unsigned breakLength = lf > start && text[lf - 1] == '\r' ? 2 : lineFeedEnds ? 1 : 0;
            if (breakLength == 0) continue;  // a lone LF is part of the line
            addLine(lf + 1 - breakLength, breakLength);
            start = lf + 1;
        }
    });
    addLine(text.size(), 0);
}

class TextHost::LineTableWriter {
public:
    static constexpr bool kTakesEveryLine = true;

    explicit LineTableWriter(TextHost& host) : host_(host) {}

    void UnchangedLine(const char* start, std::size_t length, std::size_t breakLength) {
        Add(start, length, 0, breakLength);
    }
    void CutLine(std::string_view line, const LinePieces& cut, std::size_t breakLength) {
        // A shortened or emptied line stays where it is; anything else is copied.
        const std::size_t size = cut.front.size() + cut.back.size();
        if (size == 0 || (cut.front.data() == line.data() && cut.back.empty()))
            return Add(line.data(), cut.front.size(), 0, breakLength);
        char* const copy = host_.Allocate(size);
        if (!cut.front.empty()) std::memcpy(copy, cut.front.data(), cut.front.size());
        if (!cut.back.empty()) std::memcpy(copy + cut.front.size(), cut.back.data(), cut.back.size());
        Add(copy, size, size, breakLength);
    }

private:
    void Add(const char* data, std::size_t length, std::size_t capacity, std::size_t breakLength) {
        if (length > kMaxLineLength) throw std::length_error("line too long");
        host_.lines_.push_back(Line{data, static_cast<std::uint32_t>(length), static_cast<std::uint32_t>(capacity),
                                    static_cast<std::uint32_t>(breakLength)});
    }

    TextHost& host_;
};

void TextHost::SetOutputTextWithoutComments(const CodePage& codePage) {
    const std::string_view text = input_;
    ownText_.reset();
    ReuseChunks();
    marks_.text = nullptr;  // no marks: a watched run splits the text again
    lines_.clear();
    lineCount_ = 0;
    const std::size_t end = WholeLinesEnd(text, breaks_);
    LineTableWriter out(*this);
    bool InBlockComment = false;
    std::string scratch;
    try {
        detail::RemoveCommentsOfWholeLines(text.substr(0, end), breaks_ == LineBreaks::CrLfOrLf, InBlockComment,
                                           scratch, codePage, out);
        const std::string_view last = text.substr(end);
        out.CutLine(last, detail::RemoveCommentsOfLine(last, nullptr, true, InBlockComment, scratch, codePage), 0);
    } catch (...) {
        lineCount_ = lines_.size();  // the lines done so far
        throw;
    }
    // An empty last line, one without a line break, is not counted.
    lineCount_ = lines_.size() - (lines_.back().length == 0 ? 1 : 0);
}

void TextHost::NextChunk(std::size_t size) {
    // The chunks of an earlier run are used again before new ones are made.
    while (usedChunks_ < chunks_.size() && chunks_[usedChunks_].size < size) ++usedChunks_;
    if (usedChunks_ == chunks_.size()) {
        const std::size_t chunk = std::max(size, kChunkSize);
        chunks_.push_back(Chunk{std::make_unique_for_overwrite<char[]>(chunk), chunk});
    }
    chunkNext_ = chunks_[usedChunks_].bytes.get();
    chunkFree_ = chunks_[usedChunks_].size;
    ++usedChunks_;
}

void TextHost::WriteOutput(const std::function<void(std::string_view)>& sink) const {
    // Unchanged lines still stand in the split text together with their line
    // breaks, so runs of them go out as one piece: most of a text, as a rule.
    const char* runStart = nullptr;
    const char* runEnd = nullptr;
    const auto extendRun = [&](const char* bytes, std::size_t size) {
        if (bytes != runEnd) {
            if (runStart != runEnd) sink({runStart, static_cast<std::size_t>(runEnd - runStart)});
            runStart = bytes;
        }
        runEnd = bytes + size;
    };
    for (const Line& line : lines_) {
        if (line.length != 0) extendRun(line.data, line.length);
        if (line.breakLength == 0) continue;
        const std::string_view lineBreak = std::string_view("\r\n").substr(2 - line.breakLength);
        // A line of the split text is followed there by its own break once it
        // is whole; a shortened one is not, as no line holds a break's bytes.
        const char* const after = line.data + line.length;
        if (line.capacity == 0 && std::string_view(after, lineBreak.size()) == lineBreak)
            extendRun(after, lineBreak.size());
        else
            extendRun(lineBreak.data(), lineBreak.size());
    }
    if (runStart != runEnd) sink({runStart, static_cast<std::size_t>(runEnd - runStart)});
}

std::string TextHost::OutputText() const {
    std::size_t size = 0;
    for (const Line& line : lines_) size += line.length + line.breakLength;
    std::string text;
    text.reserve(size);
    WriteOutput([&](std::string_view piece) { text.append(piece); });
    return text;
}

void detail::RunRemovalOnTextHost(TextHost& host, const CodePage& codePage) noexcept {
    RunRemovalOn(host, codePage);
}

}  // namespace kezurin
