#include "text_host.hpp"

#include <algorithm>
#include <stdexcept>

#include "removal_run_core.hpp"

namespace kezurin {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

bool Contains(std::string_view outer, std::string_view inner) {
    return !inner.empty() && inner.data() >= outer.data() &&
           inner.data() + inner.size() <= outer.data() + outer.size();
}

}  // namespace

TextHost::TextHost(std::string input, LineBreaks breaks)
    : breaks_(breaks), input_(std::move(input)), lines_{Line{"", 0, 0, 0}} {}

void TextHost::SetOutputText(std::string_view text) {
    std::unique_ptr<char[]> own;
    if (!Contains(input_, text)) {
        // Copied first: `text` may be a view of the current output.
        own = std::make_unique_for_overwrite<char[]>(text.size());
        std::memcpy(own.get(), text.data(), text.size());
        text = {own.get(), text.size()};
    }
    try {
        SplitLines(text);
    } catch (...) {
        lines_.assign(1, Line{"", 0, 0, 0});
        throw;
    }
    ownText_ = std::move(own);
    chunks_.clear();
    chunkFree_ = 0;
    chunkNext_ = nullptr;
}

void TextHost::SplitLines(std::string_view text) {
    // The table is refilled in place, so that a second run reuses its memory.
    lines_.clear();
    std::size_t start = 0;
    auto addLine = [&](std::size_t end, unsigned breakLength) {
        if (end - start > kMaxLineLength) throw std::length_error("line too long");
        lines_.push_back(Line{text.data() + start, static_cast<std::uint32_t>(end - start), 0,
                              breakLength});
    };
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        if (lf > start && text[lf - 1] == '\r') {
            addLine(lf - 1, 2);
        } else if (breaks_ == LineBreaks::CrLfOrLf) {
            addLine(lf, 1);
        } else {
            continue;  // a lone LF is part of the line
        }
        start = lf + 1;
    }
    addLine(text.size(), 0);
}

char* TextHost::Allocate(std::size_t size) {
    if (size > chunkFree_) {
        const std::size_t chunk = std::max(size, kChunkSize);
        chunks_.push_back(std::make_unique<char[]>(chunk));
        chunkNext_ = chunks_.back().get();
        chunkFree_ = chunk;
    }
    char* block = chunkNext_;
    chunkNext_ += size;
    chunkFree_ -= size;
    return block;
}

void TextHost::WriteOutput(const std::function<void(std::string_view)>& sink) const {
    for (const Line& line : lines_) {
        if (line.length != 0) sink({line.data, line.length});
        if (line.breakLength != 0) sink(std::string_view("\r\n").substr(2 - line.breakLength));
    }
}

std::string TextHost::OutputText() const {
    std::size_t size = 0;
    for (const Line& line : lines_) size += line.length + line.breakLength;
    std::string text;
    text.reserve(size);
    WriteOutput([&](std::string_view piece) { text.append(piece); });
    return text;
}

void RunRemoval(TextHost& host, const CodePage& codePage) noexcept {
    detail::RunRemovalOn(host, codePage);
}

}  // namespace kezurin
