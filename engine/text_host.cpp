#include "text_host.hpp"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "removal_run_core.hpp"

namespace kezurin {
namespace {

constexpr std::size_t kChunkSize = 64 * 1024;

// Word-at-a-time byte search: the high bit of every byte of `word` that
// equals `byte`, and no other bit.
constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;

constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
    const std::uint64_t zeroWhereEqual = word ^ (kEveryByte * byte);
    return ~(((zeroWhereEqual & kLowBits) + kLowBits) | zeroWhereEqual | kLowBits);
}

bool Contains(std::string_view outer, std::string_view inner) {
    return !inner.empty() && inner.data() >= outer.data() &&
           inner.data() + inner.size() <= outer.data() + outer.size();
}

}  // namespace

TextHost::TextHost(std::string input, LineBreaks breaks)
    : breaks_(breaks), input_(std::move(input)), lines_{Line{"", 0, 0, 0, 0}} {}

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
        lines_.assign(1, Line{"", 0, 0, 0, 0});
        throw;
    }
    ownText_ = std::move(own);
    chunks_.clear();
    chunkFree_ = 0;
    chunkNext_ = nullptr;
}

// Splitting reads eight bytes at a time and notes, besides the line feeds,
// which lines hold a slash at all; most lines of a source hold none.
void TextHost::SplitLines(std::string_view text) {
    // The table is refilled in place, so that a second run reuses its memory.
    lines_.clear();
    const char* const bytes = text.data();
    std::size_t start = 0;
    bool slash = false;
    auto addLine = [&](std::size_t end, unsigned breakLength) {
        if (end - start > kMaxLineLength) throw std::length_error("line too long");
        lines_.push_back(Line{bytes + start, static_cast<std::uint32_t>(end - start), 0, slash,
                              breakLength});
    };
    auto lineFeedAt = [&](std::size_t lf) {
        if (lf > start && bytes[lf - 1] == '\r') {
            addLine(lf - 1, 2);
        } else if (breaks_ == LineBreaks::CrLfOrLf) {
            addLine(lf, 1);
        } else {
            return;  // a lone LF is part of the line
        }
        start = lf + 1;
        slash = false;
    };

    std::size_t at = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; at + 8 <= text.size(); at += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + at, sizeof word);
            std::uint64_t feeds = BytesEqual(word, '\n');
            std::uint64_t slashes = BytesEqual(word, '/');
            for (; feeds != 0; feeds &= feeds - 1) {
                const std::uint64_t before = (feeds & (~feeds + 1)) - 1;
                slash = slash || (slashes & before) != 0;
                slashes &= ~before;
                lineFeedAt(at + static_cast<std::size_t>(std::countr_zero(feeds)) / 8);
            }
            slash = slash || slashes != 0;
        }
    }
    for (; at < text.size(); ++at) {
        if (bytes[at] == '/') slash = true;
        if (bytes[at] == '\n') lineFeedAt(at);
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
