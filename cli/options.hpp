#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "input_text.hpp"

namespace kezurin::cli {

inline constexpr std::string_view kStandardInput = "-";

// Which comments go: the window's line rules, or exactly those a C or C++ compiler sees.
enum class Syntax { Lines, C };

struct Options {
    Encoding encoding = Encoding::Auto;
    Syntax syntax = Syntax::Lines;          // --syntax
    bool inPlace = false;
    std::optional<std::string> outputPath;  // -o; standard output when empty
    std::vector<std::string> inputs;        // never empty: "-" when none were given
    bool recursive = false;                 // -r: folders among the inputs stand for their source files
    std::string extensions;                 // --extensions; the default set when empty
    bool help = false;
    bool version = false;
};

struct UsageError {
    std::string message;
};

// Reads the arguments after the program's name.
std::variant<Options, UsageError> ParseArguments(const std::vector<std::string_view>& arguments);

std::string UsageText(std::string_view program);

}  // namespace kezurin::cli
