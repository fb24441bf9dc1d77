#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "input_text.hpp"

namespace kezurin::cli {

inline constexpr std::string_view kStandardInput = "-";

// --syntax: the window's line rules, each file's extension, or an exact syntax (syntax::kSyntaxes).
inline constexpr std::string_view kLinesSyntax = "lines";
inline constexpr std::string_view kAutoSyntax = "auto";

struct Options {
    Encoding encoding = Encoding::Auto;
    std::string_view syntax = kLinesSyntax; // --syntax: lines, auto or an exact syntax's name
    bool inPlace = false;
    std::optional<std::string> outputPath;  // -o; standard output when empty
    std::vector<std::string> inputs;        // never empty: "-" when none were given
    bool recursive = false;                 // -r: folders among the inputs stand for their source files
    std::string extensions;                 // --extensions; when empty, those of the syntax
    bool help = false;
    bool version = false;
};

struct UsageError {
    std::string message;
};

// Reads the arguments after the program's name.
std::variant<Options, UsageError> ParseArguments(const std::vector<std::string_view>& arguments);

std::string UsageText(std::string_view program);

// The extensions -r takes without --extensions: the syntax's own; with auto,
// those of every exact syntax; with lines, the C family.
std::string DefaultExtensions(std::string_view syntax);

}  // namespace kezurin::cli
