#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "streamed_removal.hpp"  // Pass

namespace kezurin::cli {

// A one-line progress bar on standard error: the pass and the bytes of the
// input done, against its size where that is known. Show() is called for
// every part read: it looks at the clock and redraws at most every 100 ms.
// Nothing is drawn for an input that is done within the first interval.
class ProgressBar {
public:
    static constexpr std::uint64_t kRedrawIntervalMs = 100;

    ProgressBar(std::string_view label, std::optional<std::uint64_t> size);
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    ~ProgressBar() { Clear(); }

    void Show(Pass pass, std::uint64_t bytesDone);
    // Removes the bar from the terminal, if it was drawn.
    void Clear();

private:
    void Draw(std::string_view line);

    std::string label_;
    std::optional<std::uint64_t> size_;
    std::uint64_t nextDrawMs_;
    std::size_t drawnWidth_ = 0;
};

// A clock for intervals, in milliseconds.
std::uint64_t MonotonicMilliseconds();

// The bar's text: the pass, and the share of `size` done with its percentage,
// or the megabytes done where the size is not known.
std::string ProgressLine(std::string_view label, Pass pass, std::uint64_t bytesDone,
                         std::optional<std::uint64_t> size);

}  // namespace kezurin::cli
