#include "kezurin/text_host.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace kezurin {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;
constexpr std::string_view kCrLf = "\r\n";

bool Contains(std::string_view outer, std::string_view inner) {
    return !inner.empty() && inner.data() >= outer.data() &&
           inner.data() + inner.size() <= outer.data() + outer.size();
}

}  // namespace

TextHost::TextHost(std::string input, LineBreaks breaks) : breaks_(breaks), input_(std::move(input)) {
    SetOutputText({});
}

void TextHost::SetOutputText(std::string_view text) {
    std::unique_ptr<char[]> own;
    if (!Contains(input_, text)) {
        // Copied first: `text` may be a view of the current output.
        own = std::make_unique_for_overwrite<char[]>(text.size());
        if (!text.empty()) std::memcpy(own.get(), text.data(), text.size());
        text = {own.get(), text.size()};
    }
    // Built aside, so that a failure leaves the output as it was.
    std::vector<Line> lines;
    const auto addLine = [&](std::size_t start, std::size_t end, std::size_t breakLength) {
        if (end - start > kMaxLineLength) throw std::length_error("line too long");
        lines.push_back(Line{text.data() + start, static_cast<std::uint32_t>(end - start), 0,
                             static_cast<std::uint32_t>(breakLength)});
    };
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        const std::size_t breakLength = BreakLengthAt(text, lf, breaks_);
        if (breakLength == 0) continue;
        addLine(start, lf + 1 - breakLength, breakLength);
        start = lf + 1;
    }
    addLine(start, text.size(), 0);
    lines_ = std::move(lines);
    lineCount_ = CountLines(text, breaks_);
    ownText_ = std::move(own);
    // The copies of the last run's lines are gone; their memory is used again.
    usedChunks_ = 0;
    chunkFree_ = 0;
    chunkNext_ = nullptr;
}

std::string_view TextHost::GetLine(std::size_t index) {
    const Line& line = lines_.at(index);
    return {line.data, line.length};
}

void TextHost::PutLine(std::size_t index, std::string_view text) {
    if (index >= GetLineCount()) return;
    if (text.size() > kMaxLineLength) throw std::length_error("line too long");
    Line& line = lines_[index];
    if (text.empty() || (text.data() == line.data && text.size() <= line.length)) {
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
    // An emptied last line without a line break is no longer counted.
    if (index + 1 == lines_.size() && text.empty()) lineCount_ = index;
}

char* TextHost::Allocate(std::size_t size) {
    if (size > chunkFree_) {
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
    char* const block = chunkNext_;
    chunkNext_ += size;
    chunkFree_ -= size;
    return block;
}

std::string TextHost::OutputText() const {
    std::string text;
    text.reserve(LineEndOffset(lines_.size() - 1));
    for (const Line& line : lines_)
        text.append(line.data, line.length).append(kCrLf.substr(2 - line.breakLength));
    return text;
}

std::size_t TextHost::LineEndOffset(std::size_t index) const {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index; ++i) offset += lines_[i].length + lines_[i].breakLength;
    return offset + lines_.at(index).length;
}

}  // namespace kezurin
