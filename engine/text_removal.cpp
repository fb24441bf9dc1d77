#include "kezurin/text_removal.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>

#include "block_scan.hpp"
#include "line_marks.hpp"
#include "line_removal.hpp"

namespace kezurin {
namespace {

// Hands the output to the sink. Pieces of the text that follow each other
// there (unchanged lines with their line breaks, the fronts of cut lines)
// are joined and go out as one run, most of a text as a rule. Short runs and
// the pieces made anew are gathered first, so that a text with a comment on
// every line does not call the sink for every line.
class RunWriter {
public:
    RunWriter(const TextRemoval::Sink& sink, std::string_view text, char* gathered)
        : sink_(sink), textStart_(reinterpret_cast<std::uintptr_t>(text.data())),
          textEnd_(textStart_ + text.size()), gathered_(gathered) {}
    RunWriter(const RunWriter&) = delete;
    RunWriter& operator=(const RunWriter&) = delete;
    ~RunWriter() = default;

    // Room for short pieces, and for the bytes copied beyond their end.
    static constexpr std::size_t kGathered = 16 * 1024;
    static constexpr std::size_t kSpill = 64;

    // A piece known to be of the text.
    void PutText(const char* start, const char* end) {
        if (start != runEnd_) {
            EndRun();
            runStart_ = start;
        }
        runEnd_ = end;
    }

    void Put(std::string_view piece) {
        const auto at = reinterpret_cast<std::uintptr_t>(piece.data());
        if (at >= textStart_ && at + piece.size() <= textEnd_) {
            PutText(piece.data(), piece.data() + piece.size());
        } else if (!piece.empty()) {
            // The space a comment leaves, or a line rebuilt in scratch memory.
            EndRun();
            Emit(piece);
        }
    }

    // Hands over everything put so far.
    void Flush() {
        EndRun();
        HandOver();
    }

private:
    static constexpr std::size_t kShort = 256;

    void EndRun() {
        if (runStart_ != runEnd_) Emit({runStart_, static_cast<std::size_t>(runEnd_ - runStart_)});
        runStart_ = runEnd_ = nullptr;
    }

    void Emit(std::string_view piece) {
        if (piece.size() > kShort) {
            HandOver();
            return sink_(piece);
        }
        if (kShort + kSpill > kGathered - used_) HandOver();
        // Pieces of the text are copied 64 bytes at a time, a little beyond
        // their end, so that the copy takes the same steps whatever their size.
        const auto at = reinterpret_cast<std::uintptr_t>(piece.data());
        if (at >= textStart_ && at + piece.size() + kSpill <= textEnd_) {
            for (std::size_t done = 0; done < piece.size(); done += kSpill)
                std::memcpy(gathered_ + used_ + done, piece.data() + done, kSpill);
        } else if (piece.size() == 1) {
            gathered_[used_] = piece.front();
        } else {
            std::memcpy(gathered_ + used_, piece.data(), piece.size());
        }
        used_ += piece.size();
    }

    void HandOver() {
        if (used_ != 0) sink_({gathered_, used_});
        used_ = 0;
    }

    const TextRemoval::Sink& sink_;
    const std::uintptr_t textStart_;
    const std::uintptr_t textEnd_;
    char* const gathered_;
    std::size_t used_ = 0;
    const char* runStart_ = nullptr;
    const char* runEnd_ = nullptr;
};

// The marks of the line at `at` bytes into the 128 bytes of two blocks, from
// those blocks' marks, `length` (at most 64) bytes long.
std::uint64_t BitsAt(std::uint64_t low, std::uint64_t high, std::size_t at) {
    // Selected, not branched on: lines fall anywhere in a block.
    const bool inLow = at < 64;
    const std::uint64_t first = inLow ? low : high;
    const std::uint64_t second = inLow ? high : 0;
    const unsigned shift = at % 64;
    return (first >> shift) | ((second << 1) << (63 - shift));
}

// Just after the last line break among the line feeds of the block at
// `offset`, or `start` when none ends a line.
std::size_t EndOfLastLine(std::string_view text, std::size_t offset, std::uint64_t feeds,
                          std::size_t start, bool lineFeedEnds) {
    while (feeds != 0) {
        const unsigned bit = 63 - static_cast<unsigned>(std::countl_zero(feeds));
        const std::size_t lf = offset + bit;
        if (lineFeedEnds || (lf > start && text[lf - 1] == '\r')) return lf + 1;
        feeds &= ~(std::uint64_t{1} << bit);
    }
    return start;
}

}  // namespace

TextRemoval::TextRemoval(LineBreaks breaks, const CodePage& codePage, Sink sink)
    : breaks_(breaks), codePage_(codePage), sink_(std::move(sink)),
      gathered_(std::make_unique_for_overwrite<char[]>(RunWriter::kGathered)) {}

std::size_t WholeLinesEnd(std::string_view text, LineBreaks breaks) {
    const std::size_t lastBreak = breaks == LineBreaks::CrLfOrLf ? text.rfind('\n') : text.rfind("\r\n");
    if (lastBreak == std::string_view::npos) return 0;
    return breaks == LineBreaks::CrLfOrLf ? lastBreak + 1 : lastBreak + 2;
}

void TextRemoval::TakeLines(std::string_view text) {
    RunWriter out(sink_, text, gathered_.get());
    bool inComment = InBlockComment_;  // kept here, where it can stay in a register
    const bool lineFeedEnds = breaks_ == LineBreaks::CrLfOrLf;
    std::size_t start = 0;
    bool openingCarried = false;  // the line so far, in blocks before, may open a comment
    // The last, short block is read from a copy padded with zeros, which
    // match none of the bytes sought.
    const std::size_t wholeBlocks = text.size() - text.size() % detail::kBlockSize;
    char last[detail::kBlockSize] = {};
    std::memcpy(last, text.data() + wholeBlocks, text.size() - wholeBlocks);
    const auto blockAt = [&](std::size_t offset) {
        return offset < wholeBlocks ? text.data() + offset : static_cast<const char*>(last);
    };
    // Asterisks and quotes are looked for only where a line may need them;
    // the block before is marked again if one of its lines does.
    std::array<std::uint64_t, 3> before{};
    bool beforeMarked = true;
    for (std::size_t offset = 0; offset < text.size(); offset += detail::kBlockSize) {
        const char* const block = blockAt(offset);
        const auto [feeds, slashes] = detail::MatchBlock(block, std::array{'\n', '/'});
        if (slashes == 0 && !openingCarried && !inComment) {
            // Every line that ends in this block stays: most blocks of most texts.
            const std::size_t end = EndOfLastLine(text, offset, feeds, start, lineFeedEnds);
            out.PutText(text.data() + start, text.data() + end);
            start = end;
            beforeMarked = false;
            continue;
        }
        const auto [asterisks, quotes] = detail::MatchBlock(block, std::array{'*', '"'});
        // Where "//" or "/*" may begin. Outside a comment, a line without one
        // stays as it is. A slash at the block's end may begin one with the
        // next block's first byte.
        std::uint64_t openings = slashes & (((slashes | asterisks) >> 1) | (std::uint64_t{1} << 63));
        for (std::uint64_t rest = feeds; rest != 0; rest &= rest - 1) {
            const unsigned bit = static_cast<unsigned>(std::countr_zero(rest));
            const std::size_t lf = offset + bit;
            const bool carriageReturn = lf > start && text[lf - 1] == '\r';
            if (!carriageReturn && !lineFeedEnds) continue;  // a lone LF is part of the line
            const std::uint64_t upToEnd = ~(~std::uint64_t{1} << bit);  // bits 0 to `bit`
            const bool mayOpen = openingCarried || (openings & upToEnd) != 0;
            openings &= ~upToEnd;
            openingCarried = false;
            if (!mayOpen && !inComment) {
                out.PutText(text.data() + start, text.data() + lf + 1);
                start = lf + 1;
                continue;
            }
            const std::size_t breakLength = carriageReturn ? 2 : 1;
            const std::size_t end = lf + 1 - breakLength;
            const std::string_view line(text.data() + start, end - start);
            LineMarks marks;
            const bool marked = line.size() <= LineMarks::kMaxLength;
            if (marked && start >= offset) {
                marks = LineMarks{slashes >> (start - offset), asterisks >> (start - offset),
                                  quotes >> (start - offset)}
                            .Prefix(line.size());
            } else if (marked && start + detail::kBlockSize >= offset) {
                if (!beforeMarked) {
                    before = detail::MatchBlock(blockAt(offset - detail::kBlockSize), std::array{'/', '*', '"'});
                    beforeMarked = true;
                }
                const std::size_t at = start + detail::kBlockSize - offset;
                marks = LineMarks{BitsAt(before[0], slashes, at), BitsAt(before[1], asterisks, at),
                                  BitsAt(before[2], quotes, at)}
                            .Prefix(line.size());
            } else if (marked) {
                marks = MarkLine(line);  // begins two blocks back
            }
            const LinePieces cut = detail::RemoveCommentsOfLine(line, marked ? &marks : nullptr, false,
                                                                inComment, scratch_, codePage_);
            if (cut.front.data() == line.data() && cut.back.empty()) {
                out.PutText(line.data(), line.data() + cut.front.size());  // the usual cut: a shorter line
            } else {
                out.Put(cut.front);
                out.Put(cut.back);
            }
            out.PutText(text.data() + end, text.data() + lf + 1);
            start = lf + 1;
        }
        openingCarried = openingCarried || openings != 0;
        before = {slashes, asterisks, quotes};
        beforeMarked = true;
    }
    out.Flush();
    InBlockComment_ = inComment;
}

void TextRemoval::Finish(std::string_view lastLine) {
    if (lastLine.empty()) return;  // not a line at all
    const LinePieces cut =
        detail::RemoveCommentsOfLine(lastLine, nullptr, true, InBlockComment_, scratch_, codePage_);
    RunWriter out(sink_, lastLine, gathered_.get());
    out.Put(cut.front);
    out.Put(cut.back);
    out.Flush();
}

void RemoveComments(std::string_view text, LineBreaks breaks, const CodePage& codePage,
                    const TextRemoval::Sink& sink) {
    TextRemoval removal(breaks, codePage, sink);
    const std::size_t end = WholeLinesEnd(text, breaks);
    removal.TakeLines(text.substr(0, end));
    removal.Finish(text.substr(end));
}

}  // namespace kezurin
