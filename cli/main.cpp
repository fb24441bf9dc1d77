// kezurin-cli: the window's comment removal, and the exact ones of each
// language (--syntax c, json, css, ...), for files, pipes and scripts.

#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console.hpp"
#include "file_system.hpp"
#include "input_stream.hpp"
#include "input_text.hpp"
#include "options.hpp"
#include "output.hpp"
#include "progress_bar.hpp"
#include "streamed_removal.hpp"
#include "source_tree.hpp"

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

// One input, opened, with the encoding it is read in.
struct OpenedInput {
    std::string name;
    Encoding encoding;
    InputStream stream;
};

OpenedInput Open(const std::string& input, Encoding encoding) {
    return {input, encoding, input == kStandardInput ? InputStream::StandardInput() : InputStream::OpenFile(input)};
}

// A progress bar goes to standard error on a terminal, unless the output
// goes to that terminal too, where the two would be mixed up.
bool ShowsProgress(bool toStandardOutput) {
    return StandardErrorIsTerminal() && !(toStandardOutput && StandardOutputIsTerminal());
}

std::string_view ExtensionOf(std::string_view name) {
    const std::size_t slash = name.find_last_of("/\\");
    const std::string_view file = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const std::size_t dot = file.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? std::string_view{} : file.substr(dot + 1);
}

// The exact syntax for an input, or nullptr for the window's rules.
const syntax::Syntax* SyntaxFor(std::string_view syntaxName, const std::string& input) {
    if (syntaxName == kLinesSyntax) return nullptr;
    if (syntaxName != kAutoSyntax) return syntax::FindSyntax(syntaxName);
    if (const syntax::Syntax* found = syntax::SyntaxForExtension(ExtensionOf(input))) return found;
    throw FileError("--syntax auto knows no syntax for this file's extension; name one with --syntax");
}

// Removes the comments of one input and writes the result as it is made,
// with a progress bar where one is shown; the input streams all the same.
// An exact syntax is one pass at memory speed and shows no bar; it warns of
// what the input left open.
void RemoveCommentsTo(OpenedInput& input, Output& output, const syntax::Syntax* syntax, bool showProgress) {
    const std::optional<CodePage> codePage = NamedCodePage(input.encoding);
    if (syntax != nullptr) {
        if (const auto open = RemoveSyntaxStreamed(input.stream, codePage, output, *syntax)) {
            WriteStandardError(std::string(kProgram) + ": " + std::string(DisplayName(input.name)) + ":" +
                               std::to_string(open->line) + ": warning: " + std::string(open->what) +
                               " not closed by the end of the input\n");
        }
        return;
    }
    if (!showProgress) return RemoveCommentsStreamed(input.stream, codePage, output);
    const std::optional<InputStream::Place> place = input.stream.RegularFilePlace();
    std::optional<std::uint64_t> size;
    if (place && place->size >= place->position) size = place->size - place->position;
    ProgressBar bar(DisplayName(input.name), size);
    RemoveCommentsStreamed(input.stream, codePage, output,
                           [&bar](Pass pass, std::uint64_t bytesDone) { bar.Show(pass, bytesDone); });
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
            const syntax::Syntax* syntax = SyntaxFor(options.syntax, path);
            std::optional<OpenedInput> input = Open(path, options.encoding);
            Output output = Output::Replacing(path);
            RemoveCommentsTo(*input, output, syntax, ShowsProgress(false));
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
            const syntax::Syntax* syntax = SyntaxFor(options.syntax, name);
            OpenedInput input = Open(name, options.encoding);
            try {
                RemoveCommentsTo(input, *output, syntax, ShowsProgress(!options.outputPath));
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
        const auto extensions =
            ParseExtensionList(options.extensions.empty() ? DefaultExtensions(options.syntax) : options.extensions);
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
