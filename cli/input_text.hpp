#pragma once

// What the command-line program decides from the bytes of an input and its
// arguments alone. No I/O, so that it can be fuzzed.

#include <optional>
#include <string_view>

#include "kezurin/code_page.hpp"

namespace kezurin::cli {

enum class Encoding { Auto, Cp932, Utf8 };

// Whether two names are the same but for the case of ASCII letters.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// "auto", "cp932" or "utf-8" (also "utf8", any case); nothing for other names.
std::optional<Encoding> ParseEncoding(std::string_view name);

// What auto chooses: utf-8 for valid UTF-8 input and cp932 for anything else.
CodePage AutoCodePage(bool validUtf8);

// The lead bytes an encoding named on the command line gives: Shift-JIS for
// cp932, none for utf-8 (right for any ASCII-based single-byte encoding too);
// nothing for auto, which chooses from the input itself (AutoCodePage).
std::optional<CodePage> NamedCodePage(Encoding encoding);

}  // namespace kezurin::cli
