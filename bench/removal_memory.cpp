// Peak memory of one removal: generates a source of the given size in MB (or
// reads a file), runs the removal on the in-memory host, as the window does,
// writes the output's lines away and prints the peak resident size against
// the input's size.
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "source_generator.hpp"
#include "kezurin/text_host.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: removal_memory MEGABYTES|FILE\n");
        return 2;
    }
    std::string input;
    if (const long megabytes = std::strtol(argv[1], nullptr, 10); megabytes > 0) {
        input = kezurin::bench::GenerateSource(static_cast<std::size_t>(megabytes) * 1000 * 1000);
    } else {
        std::ifstream file(argv[1], std::ios::binary);
        std::ostringstream contents;
        contents << file.rdbuf();
        input = std::move(contents).str();
    }
    const double size = static_cast<double>(input.size());

    kezurin::TextHost host(std::move(input));
    kezurin::RunRemoval(host);
    std::size_t written = 0;
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (std::size_t i = 0; i < host.GetLineCount(); ++i) {
        const std::string_view line = host.GetLine(i);
        written += std::fwrite(line.data(), 1, line.size(), sink) + std::fwrite("\r\n", 1, 2, sink);
    }
    std::fclose(sink);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    std::printf("input %.1f MB, output %.1f MB, peak RSS %.1f MB = %.2f x input\n", size / 1e6,
                static_cast<double>(written) / 1e6, peak / 1e6, peak / size);
    return host.Messages().empty() ? 0 : 1;
}
