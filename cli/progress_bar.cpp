#include "progress_bar.hpp"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

#include "console.hpp"

namespace kezurin::cli {
namespace {

constexpr std::size_t kBarWidth = 30;
constexpr std::size_t kLabelWidth = 32;

// The end of a long name tells more than its beginning; the cut never falls
// inside a UTF-8 character.
std::string_view Shortened(std::string_view label) {
    if (label.size() <= kLabelWidth) return label;
    std::size_t start = label.size() - kLabelWidth;
    while (start < label.size() && (static_cast<unsigned char>(label[start]) & 0xC0) == 0x80) ++start;
    return label.substr(start);
}

}  // namespace

// <chrono> cannot be compiled with the ANSI code page 932 as the execution
// character set (it spells the micro sign), so the clock comes from the system.
std::uint64_t MonotonicMilliseconds() {
#ifdef _WIN32
    return GetTickCount64();
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000 + static_cast<std::uint64_t>(now.tv_nsec) / 1000000;
#endif
}

std::string ProgressLine(std::string_view label, Pass pass, std::uint64_t bytesDone,
                         std::optional<std::uint64_t> size) {
    std::string line(Shortened(label));
    line.append(pass == Pass::Utf8Check ? ": checking UTF-8 " : ": removing comments ");
    if (!size) return line.append(std::to_string(bytesDone / 1000000)).append(" MB");
    const std::uint64_t total = std::max<std::uint64_t>(*size, 1);
    const std::uint64_t done = std::min(bytesDone, total);
    const auto filled = static_cast<std::size_t>(done * kBarWidth / total);
    line.append("[").append(filled, '#').append(kBarWidth - filled, '.').append("] ");
    const std::string number = std::to_string(done * 100 / total);
    line.append(3 - number.size(), ' ').append(number).append("%");
    return line;
}

ProgressBar::ProgressBar(std::string_view label, std::optional<std::uint64_t> size)
    : label_(label), size_(size), nextDrawMs_(MonotonicMilliseconds() + kRedrawIntervalMs) {}

void ProgressBar::Show(Pass pass, std::uint64_t bytesDone) {
    const std::uint64_t now = MonotonicMilliseconds();
    if (now < nextDrawMs_) return;
    nextDrawMs_ = now + kRedrawIntervalMs;
    Draw(ProgressLine(label_, pass, bytesDone, size_));
}

void ProgressBar::Draw(std::string_view line) {
    std::string text = "\r";
    text.append(line);
    if (line.size() < drawnWidth_) text.append(drawnWidth_ - line.size(), ' ');
    drawnWidth_ = std::max(drawnWidth_, line.size());
    WriteStandardError(text);  // a console shows the name as characters
    std::fflush(stderr);
}

void ProgressBar::Clear() {
    if (drawnWidth_ == 0) return;
    std::string text = "\r";
    text.append(drawnWidth_, ' ').append("\r");
    WriteStandardError(text);  // a console shows the name as characters
    std::fflush(stderr);
    drawnWidth_ = 0;
}

}  // namespace kezurin::cli
