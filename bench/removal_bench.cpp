// Throughput of the removal against a plain memchr line scan of the same
// text as the floor: the pass-through, the route of every caller that watches
// no captions, and the run over the in-memory host, the window's route, with
// its calls for every line of both passes.
#include <benchmark/benchmark.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "source_generator.hpp"
#include "kezurin/block_scan.hpp"
#include "kezurin/text_host.hpp"
#include "kezurin/text_removal.hpp"

namespace {

// 12 MB of generated source with a comment on about every other line, or the
// file named by KEZURIN_BENCH_TEXT (real code has far fewer).
const std::string& Source() {
    static const std::string source = [] {
        const char* path = std::getenv("KEZURIN_BENCH_TEXT");
        if (!path) return kezurin::bench::GenerateSource(12 * 1000 * 1000);
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }();
    return source;
}

void BM_RunRemoval(benchmark::State& state) {
    kezurin::TextHost host(Source(), kezurin::LineBreaks::CrLfOrLf);
    for (auto _ : state) {
        kezurin::RunRemoval(host);
        benchmark::DoNotOptimize(host.GetLineCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Source().size()));
}
BENCHMARK(BM_RunRemoval)->Unit(benchmark::kMillisecond);

// kezurin-cli's output as the sink: a buffer of 256 KiB, here written out to
// nowhere when full; pieces of 64 KiB and more go out as they stand.
class BufferedOutput final : public kezurin::TextRemoval::Sink {
public:
    std::span<char> Room(std::size_t size) override {
        if (buffer_.size() - used_ < size) WriteOut();
        return std::span<char>(buffer_).subspan(used_);
    }
    void Wrote(std::size_t size) override { used_ += size; }
    void Write(std::string_view piece) override {
        if (piece.size() >= 64 * 1024) return WriteOut(piece);
        if (buffer_.size() - used_ < piece.size()) WriteOut();
        std::memcpy(buffer_.data() + used_, piece.data(), piece.size());
        used_ += piece.size();
    }
    void WriteOut(std::string_view piece = {}) {
        benchmark::DoNotOptimize(buffer_.data());
        benchmark::DoNotOptimize(piece.data());
        used_ = 0;
    }

private:
    std::vector<char> buffer_ = std::vector<char>(256 * 1024);
    std::size_t used_ = 0;
};

// What kezurin-cli runs: the output copied out piece by piece, nothing kept.
// With an argument, on that path of the vector layer (blocks::Vectors), where
// the processor has it.
void BM_TextRemoval(benchmark::State& state) {
    const kezurin::blocks::Vectors chosen = kezurin::blocks::ChosenVectors();
    if (state.range(0) >= 0) {
        const auto vectors = static_cast<kezurin::blocks::Vectors>(state.range(0));
        if (kezurin::blocks::UseVectors(vectors) != vectors) {
            kezurin::blocks::UseVectors(chosen);
            return state.SkipWithError("not on this processor");
        }
    }
    BufferedOutput output;
    for (auto _ : state) {
        kezurin::RemoveComments(Source(), kezurin::LineBreaks::CrLfOrLf, kezurin::kShiftJis, output);
        output.WriteOut();
    }
    kezurin::blocks::UseVectors(chosen);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Source().size()));
}
BENCHMARK(BM_TextRemoval)->DenseRange(-1, 2)->Unit(benchmark::kMillisecond);

void BM_MemchrLineScan(benchmark::State& state) {
    const std::string& text = Source();
    for (auto _ : state) {
        std::size_t lines = 0;
        const char* at = text.data();
        const char* end = at + text.size();
        while (const void* lf = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
            at = static_cast<const char*>(lf) + 1;
            ++lines;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_MemchrLineScan)->Unit(benchmark::kMillisecond);

// Prints as usual and keeps each benchmark's bytes per second, one figure a
// repetition, for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto bytes = run.counters.find("bytes_per_second");
            if (run.run_type == Run::RT_Iteration && bytes != run.counters.end())
                speeds[run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args)].push_back(bytes->second);
        }
    }
    // The median of a benchmark's repetitions, in MB/s.
    double Speed(const std::string& name) {
        std::vector<double>& figures = speeds[name];
        if (figures.empty()) return 0;
        std::sort(figures.begin(), figures.end());
        return figures[figures.size() / 2] / 1e6;
    }

private:
    std::map<std::string, std::vector<double>> speeds;
};

}  // namespace

int main(int argc, char** argv) {
    // The machine's speed drifts: by default the benchmarks take turns, nine
    // times each in a random order, and the summary compares their medians.
    std::vector<char*> arguments(argv, argv + argc);
    const bool repetitionsGiven = std::any_of(arguments.begin(), arguments.end(), [](const char* argument) {
        return std::string_view(argument).starts_with("--benchmark_repetitions");
    });
    char repetitions[] = "--benchmark_repetitions=9";
    char interleaved[] = "--benchmark_enable_random_interleaving=true";
    char minimumTime[] = "--benchmark_min_time=0.3s";
    if (!repetitionsGiven) arguments.insert(arguments.begin() + 1, {repetitions, interleaved, minimumTime});
    int count = static_cast<int>(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double removal = reporter.Speed("BM_RunRemoval");
    const double stream = reporter.Speed("BM_TextRemoval/-1");
    const double scan = reporter.Speed("BM_MemchrLineScan");
    const auto ratio = [scan](double speed) { return scan > 0 ? speed / scan : 0.0; };
    std::printf("\ntext: %.1f MB (medians of the repetitions)\npass-through:     %8.1f MB/s  %6.3f of the scan\n"
                "removal run:      %8.1f MB/s  %6.3f of the scan\nmemchr line scan: %8.1f MB/s\n",
                static_cast<double>(Source().size()) / 1e6, stream, ratio(stream), removal, ratio(removal), scan);
    constexpr const char* kPaths[] = {"scalar", "SSE2", "AVX2"};
    for (int path = 0; path < 3; ++path) {
        const double speed = reporter.Speed("BM_TextRemoval/" + std::to_string(path));
        if (speed > 0) std::printf("  on %-8s %8.1f MB/s  %6.3f of the scan\n", kPaths[path], speed, ratio(speed));
    }
}
