#include "options.hpp"

#include <algorithm>

#include "kezurin/syntax/syntaxes.hpp"
#include "source_tree.hpp"

namespace kezurin::cli {
namespace {

// Splits "--name=value" into its two halves; the value is empty without "=".
std::pair<std::string_view, std::optional<std::string_view>> SplitLongOption(std::string_view argument) {
    const std::size_t equals = argument.find('=');
    if (!argument.starts_with("--") || equals == std::string_view::npos) return {argument, std::nullopt};
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

// "lines, auto, c, json, ..." as a usage error lists them.
std::string SyntaxNames(std::string_view lastSeparator) {
    std::string names = std::string(kLinesSyntax) + ", " + std::string(kAutoSyntax);
    for (std::size_t i = 0; i < syntax::kSyntaxes.size(); ++i)
        names.append(i + 1 < syntax::kSyntaxes.size() ? ", " : lastSeparator).append(syntax::kSyntaxes[i].name);
    return names;
}

// The name as the options keep it, of static storage; empty for an unknown one.
std::string_view KnownSyntax(std::string_view name) {
    if (name == kLinesSyntax) return kLinesSyntax;
    if (name == kAutoSyntax) return kAutoSyntax;
    const syntax::Syntax* found = syntax::FindSyntax(name);
    return found != nullptr ? found->name : std::string_view{};
}

// One row of --help's table: the name, then its lines beside it.
void AppendRow(std::string& text, std::string_view name, std::string_view lines) {
    std::string_view indent = "  ";
    text.append(indent).append(name).append(std::string(8 - name.size(), ' '));
    for (std::size_t start = 0; start < lines.size();) {
        const std::size_t end = std::min(lines.find('\n', start), lines.size());
        if (start > 0) text.append(indent).append(8, ' ');
        text.append(lines.substr(start, end - start)).append("\n");
        start = end + 1;
    }
}

}  // namespace

std::variant<Options, UsageError> ParseArguments(const std::vector<std::string_view>& arguments) {
    Options options;
    bool optionsEnded = false;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (optionsEnded || argument == kStandardInput || !argument.starts_with("-")) {
            options.inputs.emplace_back(argument);
            continue;
        }
        const auto [name, attached] = SplitLongOption(argument);
        auto value = [&, attached = attached]() -> std::optional<std::string_view> {
            if (attached) return attached;
            if (at + 1 < arguments.size()) return arguments[++at];
            return std::nullopt;
        };
        const bool takesValue = name == "-o" || name == "--output" || name == "--encoding" || name == "--extensions" ||
                                name == "--syntax";
        if (attached && !takesValue) return UsageError{"option '" + std::string(name) + "' takes no value"};

        if (name == "--") {
            optionsEnded = true;
        } else if (name == "-h" || name == "--help") {
            options.help = true;
        } else if (name == "-V" || name == "--version") {
            options.version = true;
        } else if (name == "-i" || name == "--in-place") {
            options.inPlace = true;
        } else if (name == "-r" || name == "--recursive") {
            options.recursive = true;
        } else if (name == "--extensions") {
            const auto list = value();
            if (!list || ParseExtensionList(*list).empty()) {
                return UsageError{"option '--extensions' needs a comma-separated list such as c,h,cpp"};
            }
            options.extensions = std::string(*list);
        } else if (name == "-o" || name == "--output") {
            const auto path = value();
            if (!path || path->empty()) return UsageError{"option '" + std::string(name) + "' needs a file name"};
            if (options.outputPath) return UsageError{"only one output file can be given"};
            options.outputPath = std::string(*path);
        } else if (name == "--syntax") {
            const auto syntaxName = value();
            if (!syntaxName) return UsageError{"option '--syntax' needs " + SyntaxNames(" or ")};
            options.syntax = KnownSyntax(*syntaxName);
            if (options.syntax.empty()) {
                return UsageError{"unknown syntax '" + std::string(*syntaxName) + "' (use " + SyntaxNames(" or ") + ")"};
            }
        } else if (name == "--encoding") {
            const auto encodingName = value();
            if (!encodingName) return UsageError{"option '--encoding' needs auto, cp932 or utf-8"};
            const auto encoding = ParseEncoding(*encodingName);
            if (!encoding) {
                return UsageError{"unknown encoding '" + std::string(*encodingName) +
                                  "' (use auto, cp932 or utf-8)"};
            }
            options.encoding = *encoding;
        } else {
            return UsageError{"unknown option '" + std::string(argument) + "'"};
        }
    }

    if (options.help || options.version) return options;
    if (options.inputs.empty()) options.inputs.emplace_back(kStandardInput);
    if (options.inPlace && options.outputPath) return UsageError{"'-i' and '-o' cannot be used together"};
    if (options.inPlace &&
        std::find(options.inputs.begin(), options.inputs.end(), kStandardInput) != options.inputs.end()) {
        return UsageError{"'-i' needs files; standard input cannot be rewritten"};
    }
    if (options.syntax == kAutoSyntax &&
        std::find(options.inputs.begin(), options.inputs.end(), kStandardInput) != options.inputs.end()) {
        return UsageError{"'--syntax auto' goes by file names; for standard input name the syntax, "
                          "for example '--syntax json'"};
    }
    return options;
}

std::string UsageText(std::string_view program) {
    std::string text;
    text.append("Usage: ").append(program).append(" [OPTIONS] [FILE...]\n");
    text.append(
        "Removes // and /* */ comments from source text, line for line: the number of\n"
        "lines and every line break stay as they are. With no FILE, or when FILE is -,\n"
        "reads standard input. Results go to standard output, one file after the other.\n"
        "\n"
        "  -o, --output FILE        write the results to FILE instead\n"
        "  -i, --in-place           rewrite each FILE with its result\n"
        "  -r, --recursive          a FILE that is a folder stands for the source files\n"
        "                           below it, in name order; version-control folders\n"
        "                           (.git, .svn, .hg, ...) are skipped and links to\n"
        "                           folders are not followed\n"
        "      --extensions LIST    the file name endings -r picks, comma-separated;\n"
        "                           default: those of the syntax (below)\n"
        "      --encoding ENCODING  auto (default), cp932 or utf-8; auto takes utf-8\n"
        "                           for valid UTF-8 input and cp932 otherwise\n"
        "      --syntax SYNTAX      which comments go: lines (default), auto or the\n"
        "                           name of a language (below)\n"
        "  -h, --help               show this help\n"
        "  -V, --version            show the version\n"
        "\n"
        "Syntaxes (the extensions are what auto and -r go by):\n");
    AppendRow(text, kLinesSyntax, "the window's rules, exactly; -r takes the extensions of c");
    AppendRow(text, kAutoSyntax, "each file's extension picks one of the syntaxes below");
    for (const syntax::Syntax& row : syntax::kSyntaxes) {
        AppendRow(text, row.name, std::string(row.extensions) + "\n" + std::string(row.handles));
    }
    text.append(
        "Each exact syntax removes only what its language's compiler or parser takes\n"
        "for a comment, keeps every other byte on its line, empties the lines inside\n"
        "a block comment and leaves one space where tokens would join (a/**/b: a b).\n"
        "It warns of a comment or literal left open at the end of a file.\n"
        "\n"
        "Where lines and c differ:\n"
        "                         --syntax lines (default)   --syntax c\n"
        "  // or /* in a string   cut, unless in the line's  kept: strings, characters,\n"
        "  or character literal   first pair of \"            raw strings, 1'000 lexed\n"
        "  line splices (\\)       not followed               followed\n"
        "  a/**/b                 ab                         a b\n"
        "  lines inside /* */     one space each             empty\n"
        "  use it for             the window's exact result  code that must still\n"
        "                                                    compile the same\n"
        "\n"
        "Exit status: 0 on success, 1 when a file failed, 2 for a usage error.\n");
    return text;
}

// -r's default set is the C family's, which --syntax c knows.
static_assert(syntax::kSyntaxes.front().name == "c" && syntax::kSyntaxes.front().extensions == kDefaultExtensions);

std::string DefaultExtensions(std::string_view syntax) {
    if (const syntax::Syntax* exact = syntax::FindSyntax(syntax)) return std::string(exact->extensions);
    if (syntax != kAutoSyntax) return std::string(kDefaultExtensions);
    std::string all;
    for (const syntax::Syntax& row : syntax::kSyntaxes) all.append(all.empty() ? "" : ",").append(row.extensions);
    return all;
}

}  // namespace kezurin::cli
