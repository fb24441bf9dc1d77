// The removal run through the real window (Windows, or Wine on Xvfb): 1,000
// and 10,000 generated lines, then pasted sources of 1, 2, 5 and 10 MB with
// the time of every stage of the run and the peak memory of the process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "application.hpp"
#include "clipboard.hpp"
#include "clock.hpp"
#include "source_generator.hpp"

namespace {

using kezurin::Application;
using kezurin::Milliseconds;
using kezurin::RunStages;
using kezurin::TMainForm1;
using kezurin::testing::PutOnClipboard;


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

double MegaBytes(SIZE_T bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

PROCESS_MEMORY_COUNTERS Memory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

int main() {
    Application.Initialize();
    Application.SetTitle("ケズリン");
    TMainForm1& form = Application.CreateMainForm();
    form.SetMessageDisplay([](std::string_view) { std::puts("the run failed"); });
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
    std::printf("10,000 lines cost %.2f times the 1,000-line run (%.2f per line)\n\n",
                perLine[1] * 10 / perLine[0], perLine[1] / perLine[0]);

    std::puts("milliseconds:       paste      run = read Memo1 + passes +  join + write Memo2 + caret + caption");
    const int megabyteSizes[] = {1, 2, 5, 10};
    RunStages stages[4];
    for (int size = 0; size < 4; ++size) {
        const int megabytes = megabyteSizes[size];
        const std::string source = kezurin::bench::GenerateSource(megabytes * 1'000'000);
        if (!PutOnClipboard(source)) {
            std::puts("no clipboard");
            return 1;
        }
        double start = Milliseconds();
        form.Button2Click(form.Button2());
        const double pasteMs = Milliseconds() - start;
        Application.ProcessMessages();
        const SIZE_T before = Memory().WorkingSetSize;
        const double runMs = TimedRun(form);
        Application.ProcessMessages();
        const RunStages& s = stages[size] = form.LastRunStages();
        std::printf("%2d MB %7zu lines %8.1f %8.1f   %8.1f %8.1f %8.1f %8.1f %8.1f %8.1f\n", megabytes,
                    LineCount(source), pasteMs, runMs, s.readInput, s.passes, s.joinOutput,
                    s.writeOutput, s.placeCaret, s.caption);
        if (megabytes == 10) {
            std::printf("Memo1 reports %d UTF-16 units for %zu bytes\n", GetWindowTextLengthW(form.Memo1()),
                        source.size());
            std::printf("10 MB run: working set %.1f MB before, peak working set %.1f MB\n",
                        MegaBytes(before), MegaBytes(Memory().PeakWorkingSetSize));
        }
    }
    const RunStages& one = stages[0];
    const RunStages& ten = stages[3];
    std::printf("10 MB / 1 MB:                     %8.2f   %8.2f %8.2f %8.2f %8.2f %8.2f %8.2f\n",
                ten.total / one.total, ten.readInput / one.readInput, ten.passes / one.passes,
                ten.joinOutput / one.joinOutput, ten.writeOutput / one.writeOutput,
                ten.placeCaret / one.placeCaret, ten.caption / one.caption);
    Application.DestroyMainForm();
    return 0;
}
