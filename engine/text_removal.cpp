#include "kezurin/text_removal.hpp"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "code_pages_apart.hpp"
#include "line_walk.hpp"

namespace kezurin {
namespace {

// Hands the output to the sink. Pieces of the text that follow each other
// there (unchanged lines with their line breaks, the fronts of cut lines)
// are joined and go out as one run, most of a text as a rule. Runs and the
// pieces made anew are copied into the sink's room, once; only runs longer
// than a room go to it as they stand.
class RunWriter {
public:
    RunWriter(TextRemoval::Sink& sink, std::string_view text)
        : sink_(sink), textStart_(reinterpret_cast<std::uintptr_t>(text.data())),
          textEnd_(textStart_ + text.size()) {}
    RunWriter(const RunWriter&) = delete;
    RunWriter& operator=(const RunWriter&) = delete;
    ~RunWriter() = default;

    // What the walk over the lines hands over.
    template <class Search>
    static constexpr bool Takes(std::string_view, const Search&, bool) { return true; }
    void UnchangedLines(const char* start, const char* end) { PutText(start, end); }
    void CutLine(std::string_view line, const LinePieces& cut, std::size_t breakLength) {
        Put(cut.front);
        Put(cut.back);
        PutText(line.data() + line.size(), line.data() + line.size() + breakLength);
    }

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
            // The filler a comment leaves, or a line rebuilt in scratch memory.
            EndRun();
            Emit(piece);
        }
    }

    // Hands over everything put so far.
    void Flush() {
        EndRun();
        Commit();
    }

private:
    // Short pieces of the text are copied 64 bytes at a time, a little beyond
    // their end, so that the copy takes the same steps whatever their size.
    static constexpr std::size_t kShort = 128;
    static constexpr std::size_t kSpill = 64;
    static constexpr std::size_t kRoom = TextRemoval::Sink::kMaxRoom;

    void EndRun() {
        if (runStart_ != runEnd_) Emit({runStart_, static_cast<std::size_t>(runEnd_ - runStart_)});
        runStart_ = runEnd_ = nullptr;
    }

    void Emit(std::string_view piece) {
        if (piece.size() > kRoom - kSpill) {
            Commit();
            return sink_.Write(piece);
        }
        if (piece.size() + kSpill > static_cast<std::size_t>(roomEnd_ - at_)) {
            Commit();
            const std::span<char> room = sink_.Room(kRoom);
            at_ = room_ = room.data();
            roomEnd_ = room_ + room.size();
        }
        const auto at = reinterpret_cast<std::uintptr_t>(piece.data());
        if (piece.size() <= kShort && at >= textStart_ && at + piece.size() + kSpill <= textEnd_) {
            for (std::size_t done = 0; done < piece.size(); done += kSpill)
                std::memcpy(at_ + done, piece.data() + done, kSpill);
        } else if (piece.size() == 1) {
            *at_ = piece.front();
        } else {
            std::memcpy(at_, piece.data(), piece.size());
        }
        at_ += piece.size();
    }

    // Hands what was written into the room to the sink.
    void Commit() {
        if (at_ != room_) sink_.Wrote(static_cast<std::size_t>(at_ - room_));
        at_ = room_ = roomEnd_ = nullptr;
    }

    TextRemoval::Sink& sink_;
    const std::uintptr_t textStart_;
    const std::uintptr_t textEnd_;
    char* room_ = nullptr;  // the room the sink gave, written up to at_
    char* at_ = nullptr;
    char* roomEnd_ = nullptr;
    const char* runStart_ = nullptr;
    const char* runEnd_ = nullptr;
};

// Whether code pages `a` and `b` cut `line`, starting in a comment or not,
// into the same bytes and leave it in the same state.
bool CutAlike(std::string_view line, bool unbrokenLast, bool startsInComment, const CodePage& a, const CodePage& b) {
    bool inCommentA = startsInComment, inCommentB = startsInComment;
    std::string scratchA, scratchB;
    const LinePieces cutA = detail::RemoveCommentsOfLine(line, line.size(), unbrokenLast, inCommentA, scratchA, a);
    const LinePieces cutB = detail::RemoveCommentsOfLine(line, line.size(), unbrokenLast, inCommentB, scratchB, b);
    const auto joined = [](const LinePieces& cut) { return std::string(cut.front).append(cut.back); };
    return inCommentA == inCommentB && joined(cutA) == joined(cutB);
}

// The writer for lines taken only while `other` would leave the same bytes as
// the code page in use: a line they cannot read apart (code_pages_apart.hpp)
// is taken as it is, any other one is cut again by both to see.
class AlikeWriter : public RunWriter {
public:
    AlikeWriter(TextRemoval::Sink& sink, std::string_view text, const CodePage& inUse, const CodePage& other)
        : RunWriter(sink, text), textEnd_(text.data() + text.size()), inUse_(inUse), other_(other) {}

    template <class Search>
    bool Takes(std::string_view line, const Search& search, bool startsInComment) const {
        return !CanDiffer(search) || CutAlike(line, false, startsInComment, inUse_, other_);
    }

private:
    bool CanDiffer(const detail::MarkedSearch& s) const {
        return detail::BlockCanDiffer(s.line, 0, s.slashes, s.asterisks, s.quotes, ~std::uint64_t{1}, inUse_, other_);
    }
    bool CanDiffer(const detail::ByteSearch& s) const {
        return detail::CodePagesCanDiffer(s.line, static_cast<std::size_t>(textEnd_ - s.line.data()), inUse_, other_);
    }

    const char* const textEnd_;
    const CodePage& inUse_;
    const CodePage& other_;
};

}  // namespace

TextRemoval::TextRemoval(LineBreaks breaks, const CodePage& codePage, Sink& sink)
    : breaks_(breaks), codePage_(codePage), sink_(sink) {}

void TextRemoval::TakeLines(std::string_view text) {
    blocks::OnChosenPath([&](auto path) {
        RunWriter out(sink_, text);
        detail::RemoveCommentsOfWholeLines<decltype(path)>(text, breaks_, InBlockComment_, scratch_, codePage_, out);
        out.Flush();
    });
    Taken(text.size());
}

std::size_t TextRemoval::TakeLinesAlike(std::string_view lines, const CodePage& other) {
    const std::size_t taken = blocks::OnChosenPath([&](auto path) {
        AlikeWriter out(sink_, lines, codePage_, other);
        const std::size_t end = detail::RemoveCommentsOfWholeLines<decltype(path)>(lines, breaks_, InBlockComment_,
                                                                                  scratch_, codePage_, out);
        out.Flush();
        return end;
    });
    Taken(taken);
    return taken;
}

bool TextRemoval::LastLineAlike(std::string_view lastLine, const CodePage& other) const {
    return CutAlike(lastLine, true, InBlockComment_, codePage_, other);
}

void TextRemoval::Finish(std::string_view lastLine) {
    if (!lastLine.empty()) {  // else not a line at all
        RunWriter out(sink_, lastLine);
        out.CutLine(lastLine, detail::RemoveCommentsOfLine(lastLine, lastLine.size(), true, InBlockComment_, scratch_, codePage_), 0);
        out.Flush();
    }
    Taken(lastLine.size());
}

void TextRemoval::Taken(std::size_t bytes) {
    bytesDone_ += bytes;
    if (progress_) progress_(bytesDone_);
}

void RemoveComments(std::string_view text, LineBreaks breaks, const CodePage& codePage, TextRemoval::Sink& sink) {
    TextRemoval removal(breaks, codePage, sink);
    const std::size_t end = WholeLinesEnd(text, breaks);
    removal.TakeLines(text.substr(0, end));
    removal.Finish(text.substr(end));
}

}  // namespace kezurin
