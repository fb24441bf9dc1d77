// The removal run through the real window (Windows, or Wine on Xvfb): 1,000
// and 10,000 generated lines, and a pasted 2 MB source. Prints the times.
#include <windows.h>

#include <cstdio>
#include <string>

#include "application.hpp"
#include "clipboard.hpp"
#include "source_generator.hpp"

namespace {

using kezurin::Application;
using kezurin::TMainForm1;
using kezurin::testing::PutOnClipboard;

double Milliseconds() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The first `count` lines of a generated source, each with its CR LF.
std::string GeneratedLines(std::size_t count) {
    const std::string source = kezurin::bench::GenerateSource(count * 60);
    std::size_t end = 0;
    for (std::size_t line = 0; line < count; ++line) end = source.find("\r\n", end) + 2;
    return source.substr(0, end);
}

std::size_t LineCount(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++count;
    return count;
}

double TimedRun(TMainForm1& form) {
    const double start = Milliseconds();
    form.Button1Click(form.Button1());
    return Milliseconds() - start;
}

}  // namespace

int main() {
    Application.Initialize();
    Application.SetTitle("ケズリン");
    TMainForm1& form = Application.CreateMainForm();
    form.SetMessageDisplay([](const std::string&) { std::puts("the run failed"); });
    form.ShowFirst(SW_SHOWNORMAL);
    Application.ProcessMessages();

    double perLine[2] = {};
    const std::size_t sizes[2] = {1'000, 10'000};
    for (int i = 0; i < 2; ++i) {
        const std::string input = GeneratedLines(sizes[i]);
        SetWindowTextA(form.Memo1(), input.c_str());
        const double ms = TimedRun(form);
        Application.ProcessMessages();
        perLine[i] = ms / static_cast<double>(sizes[i]);
        std::printf("%6zu lines (%7zu bytes): %8.1f ms, %.4f ms per line\n", sizes[i], input.size(),
                    ms, perLine[i]);
    }
    std::printf("10,000 lines cost %.2f times the 1,000-line run (%.2f per line)\n",
                perLine[1] * 10 / perLine[0], perLine[1] / perLine[0]);

    // The generated lines are shorter than 40 bytes on average: a source of
    // about 400 KB has more lines than 10,000.
    const std::string large = kezurin::bench::GenerateSource(400'000);
    SetWindowTextA(form.Memo1(), large.c_str());
    const double largeMs = TimedRun(form);
    Application.ProcessMessages();
    std::printf("%6zu lines (%7zu bytes): %8.1f ms, %.4f ms per line\n", LineCount(large),
                large.size(), largeMs, largeMs / static_cast<double>(LineCount(large)));

    const std::string big = kezurin::bench::GenerateSource(2'000'000);
    if (!PutOnClipboard(big)) {
        std::puts("no clipboard");
        return 1;
    }
    double start = Milliseconds();
    form.Button2Click(form.Button2());
    const double pasteMs = Milliseconds() - start;
    Application.ProcessMessages();
    const double runMs = TimedRun(form);
    std::printf("2 MB paste (%zu bytes, %zu lines): paste %.1f ms, run %.1f ms, %.4f ms per line\n",
                big.size(), LineCount(big), pasteMs, runMs, runMs / static_cast<double>(LineCount(big)));
    Application.DestroyMainForm();
    return 0;
}
