#pragma once

// What the fuzz targets share: texts cut at their line breaks, a plain host of
// one string per line, and the check that a run kept every line break.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "kezurin/removal_host.hpp"
#include "kezurin/text_host.hpp"

namespace kezurin::fuzz {

// A text cut at its line breaks: lines[i] is followed by breaks[i] ("\r\n",
// "\n" or, for the last line only, nothing).
struct SplitText {
    std::vector<std::string> lines;
    std::vector<std::string> breaks;
};

inline SplitText Split(std::string_view text, LineBreaks breaks) {
    SplitText split;
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        const std::size_t breakLength = BreakLengthAt(text, lf, breaks);
        if (breakLength == 0) continue;
        split.lines.emplace_back(text.substr(start, lf + 1 - breakLength - start));
        split.breaks.emplace_back(text.substr(lf + 1 - breakLength, breakLength));
        start = lf + 1;
    }
    split.lines.emplace_back(text.substr(start));
    split.breaks.emplace_back();
    return split;
}

inline std::string Join(const SplitText& split) {
    std::string text;
    for (std::size_t i = 0; i < split.lines.size(); ++i) text.append(split.lines[i]).append(split.breaks[i]);
    return text;
}

// Ends the process with a report naming what was broken.
inline void Require(bool holds, const char* property, const char* setting = "") {
    if (holds) return;
    std::fprintf(stderr, "broken: %s %s\n", property, setting);
    std::abort();
}

// A removal host that keeps one string per line and nothing shared, the
// plainest storage there is: the in-memory host's shared line table must give
// the same bytes.
class LineTableHost final : public RemovalHost {
public:
    LineTableHost(std::string input, LineBreaks breaks) : input_(std::move(input)), breaks_(breaks) {}

    std::string_view GetInputText() override { return input_; }
    void SetOutputText(std::string_view text) override { output_ = Split(text, breaks_); }
    std::size_t GetLineCount() override {
        return output_.lines.size() - (output_.lines.back().empty() ? 1 : 0);
    }
    std::string_view GetLine(std::size_t index) override { return output_.lines.at(index); }
    void PutLine(std::size_t index, std::string_view text) override {
        if (index < GetLineCount()) output_.lines[index] = std::string(text);
    }
    void SetCaption(std::string_view caption) override { caption_ = caption; }
    void Repaint() override {}
    void Beep() override { ++beeps_; }
    void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }

    std::string OutputText() const { return Join(output_); }
    const std::string& Caption() const { return caption_; }
    int BeepCount() const { return beeps_; }
    const std::vector<std::string>& Messages() const { return messages_; }

private:
    std::string input_;
    LineBreaks breaks_;
    SplitText output_{{""}, {""}};
    std::string caption_;
    int beeps_ = 0;
    std::vector<std::string> messages_;
};

// The lines of `host` after a run over `input`, each followed by the line
// break that followed it in the input. Read through the host's own lines: the
// output text itself may hold a new CR LF pair where a cut brought a lone CR
// and an LF together. Breaks when the run added, removed or moved a break.
inline SplitText LinesAfterRun(const std::string& input, TextHost& host, LineBreaks breaks,
                               const char* setting) {
    const SplitText in = Split(input, breaks);
    const std::size_t countedBefore = CountLines(input, breaks);
    const std::size_t counted = host.GetLineCount();
    // Only an unbroken last line that the run emptied drops out of the count.
    Require(counted == countedBefore || counted + 1 == countedBefore, "the line count stays", setting);
    SplitText out{{}, in.breaks};
    for (std::size_t i = 0; i < in.lines.size(); ++i)
        out.lines.emplace_back(i < counted ? std::string(host.GetLine(i)) : std::string());
    Require(Join(out) == host.OutputText(), "every line break stays where it was", setting);
    return out;
}

}  // namespace kezurin::fuzz
