#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kezurin::cli {

// A one-line progress bar on standard error, driven by the removal run's
// report after every line of its two passes. Step() is on the per-line path:
// it only counts, and looks at the clock every few hundred lines. Nothing is
// drawn for an input that is done within the first redraw interval.
class ProgressBar {
public:
    static constexpr std::uint64_t kRedrawIntervalMs = 100;

    ProgressBar(std::string_view label, std::size_t linesPerPass);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    ~ProgressBar() { Clear(); }

    void Step() {
        if ((++steps_ & (kClockEvery - 1)) == 0) Tick();
    }
    // Removes the bar from the terminal, if it was drawn.
    void Clear();

private:
    static constexpr std::size_t kClockEvery = 256;

    void Tick();
    void Draw(std::string_view line);

    std::string label_;
    std::size_t linesPerPass_;
    std::size_t steps_ = 0;
    std::uint64_t nextDrawMs_;
    std::size_t drawnWidth_ = 0;
};

// A clock for intervals, in milliseconds.
std::uint64_t MonotonicMilliseconds();

// The bar's text for `steps` progress reports of a run over `linesPerPass`
// lines: which of the two passes, its share done and its percentage.
std::string ProgressLine(std::string_view label, std::size_t steps, std::size_t linesPerPass);

}  // namespace kezurin::cli
