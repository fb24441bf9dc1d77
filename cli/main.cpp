// kezurin-cli: the window's comment removal for files, pipes and scripts.

#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "c_syntax_removal.hpp"
#include "c_syntax_streamed.hpp"
#include "file_io.hpp"
#include "input_text.hpp"
#include "options.hpp"
#include "progress_bar.hpp"
#include "streamed_removal.hpp"
#include "source_tree.hpp"
#include "kezurin/text_host.hpp"

#ifndef KEZURIN_VERSION
#define KEZURIN_VERSION "unknown"
#endif

namespace kezurin::cli {
namespace {

constexpr std::string_view kProgram = "kezurin-cli";
constexpr std::string_view kStandardInputName = "standard input";
constexpr std::string_view kStandardOutputName = "standard output";

void Report(std::string_view name, std::string_view reason) {
    std::string message(kProgram);
    message.append(": ").append(name).append(": ").append(reason).append("\n");
    WriteStandardError(message);
}

std::string_view DisplayName(const std::string& input) {
    return input == kStandardInput ? kStandardInputName : std::string_view(input);
}

// One input, ready to be read: opened, or, where a progress bar is shown,
// already read whole.
struct OpenedInput {
    std::string name;
    Encoding encoding;
    std::optional<InputStream> stream;
    std::string text;
};

OpenedInput Open(const std::string& input, Encoding encoding) {
    OpenedInput opened{input, encoding, std::nullopt, {}};
    if (!StandardErrorIsTerminal()) {
        opened.stream.emplace(input == kStandardInput ? InputStream::StandardInput() : InputStream::OpenFile(input));
    } else {
        opened.text = input == kStandardInput ? ReadStandardInput() : ReadWholeFile(input);
    }
    return opened;
}

// On a terminal a progress bar shows the run's two passes, over lines kept in memory.
void RemoveCommentsShowingProgress(OpenedInput& input, Output& output) {
    const CodePage codePage = CodePageFor(input.encoding, input.text);
    ProgressBar progress(DisplayName(input.name), CountLines(input.text));
    TextHost host(std::move(input.text), LineBreaks::CrLfOrLf);
    host.OnRepaint([&progress] { progress.Step(); });
    RunRemoval(host, codePage);
    progress.Clear();
    if (!host.Messages().empty()) {
        throw FileError("comment removal failed (out of memory, or a line too long to hold)");
    }
    host.WriteOutput(WritingTo(output));
}

// --syntax c: one pass at memory speed, so no progress bar; an input already
// read whole goes through at once.
void RemoveCSyntaxTo(OpenedInput& input, std::optional<CodePage> codePage, Output& output) {
    if (input.stream) return RemoveCSyntaxStreamed(*input.stream, codePage, output);
    RemoveCSyntaxComments(input.text, codePage.value_or(CodePageFor(input.encoding, input.text)), WritingTo(output));
}

// Removes the comments of one input and writes the result as it is made.
void RemoveCommentsTo(OpenedInput& input, Output& output, Syntax syntax) {
    std::optional<CodePage> codePage;
    if (input.encoding != Encoding::Auto) codePage = CodePageFor(input.encoding, {});
    if (syntax == Syntax::C) return RemoveCSyntaxTo(input, codePage, output);
    if (!input.stream) return RemoveCommentsShowingProgress(input, output);
    RemoveCommentsStreamed(*input.stream, codePage, output);
}

// Runs `step`; a failure is reported under `name` and makes the result false.
template <class Step>
bool Reporting(std::string_view name, Step&& step) {
    try {
        step();
        return true;
    } catch (const FileError& error) {
        Report(name, error.what());
    } catch (const std::bad_alloc&) {
        Report(name, "out of memory");
    }
    return false;
}

int RunInPlace(const Options& options, const std::vector<std::string>& inputs, bool allDone) {
    for (const std::string& path : inputs) {
        allDone &= Reporting(path, [&] {
            std::optional<OpenedInput> input = Open(path, options.encoding);
            Output output = Output::Replacing(path);
            RemoveCommentsTo(*input, output, options.syntax);
            input.reset();  // closed first: Windows does not replace a file that is open
            output.Commit();
        });
    }
    return allDone ? 0 : 1;
}

// All results go, one after the other, to one output; once it fails, nothing more can be written.
int RunToOneOutput(const Options& options, const std::vector<std::string>& inputs, bool allDone) {
    const std::string_view outputName = options.outputPath ? std::string_view(*options.outputPath) : kStandardOutputName;
    std::optional<Output> output;
    if (!Reporting(outputName, [&] {
            output.emplace(options.outputPath ? Output::ToFile(*options.outputPath) : Output::StandardOutput());
        })) {
        return 1;
    }
    for (const std::string& name : inputs) {
        std::optional<OutputError> outputFailure;
        allDone &= Reporting(DisplayName(name), [&] {
            OpenedInput input = Open(name, options.encoding);
            try {
                RemoveCommentsTo(input, *output, options.syntax);
            } catch (const OutputError& error) {
                outputFailure = error;
            }
        });
        if (outputFailure) {
            Report(outputName, outputFailure->what());
            return 1;
        }
    }
    if (!Reporting(outputName, [&] { output->Commit(); })) return 1;
    return allDone ? 0 : 1;
}

int Main(const std::vector<std::string_view>& arguments) {
    const auto parsed = ParseArguments(arguments);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        WriteStandardError(std::string(kProgram) + ": " + usage->message + "\nTry '" + std::string(kProgram) +
                           " --help' for more information.\n");
        return 2;
    }
    const Options& options = std::get<Options>(parsed);
    if (options.help) {
        std::fputs(UsageText(kProgram).c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (options.version) {
        std::printf("%s %s\n", kProgram.data(), KEZURIN_VERSION);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    bool allDone = true;
    std::vector<std::string> inputs = options.inputs;
    if (options.recursive) {
        const auto extensions = ParseExtensionList(options.extensions.empty() ? kDefaultExtensions : options.extensions);
        inputs = ExpandFolders(options.inputs, extensions, [&allDone](const std::string& folder, const std::string& reason) {
            Report(folder, reason);
            allDone = false;
        });
    }
    return options.inPlace ? RunInPlace(options, inputs, allDone) : RunToOneOutput(options, inputs, allDone);
}

}  // namespace
}  // namespace kezurin::cli

namespace {

int Start(const std::vector<std::string_view>& arguments) {
    kezurin::cli::UseBinaryStandardStreams();
    try {
        return kezurin::cli::Main(arguments);
    } catch (const std::exception& error) {
        kezurin::cli::WriteStandardError(std::string("kezurin-cli: ") + error.what() + "\n");
        return 1;
    }
}

}  // namespace

#ifdef _WIN32
// Windows gives the arguments in UTF-16 whatever its code page; the program
// takes them, file names included, as UTF-8.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> utf8;
    for (int i = 1; i < argc; ++i) utf8.push_back(kezurin::cli::Utf8FromWide(argv[i]));
    return Start(std::vector<std::string_view>(utf8.begin(), utf8.end()));
}
#else
int main(int argc, char** argv) { return Start(std::vector<std::string_view>(argv + (argc > 0 ? 1 : 0), argv + argc)); }
#endif
