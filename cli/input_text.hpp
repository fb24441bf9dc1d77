#pragma once

// What the command-line program decides from the bytes of an input alone:
// its encoding and its number of lines. No I/O, so that it can be fuzzed.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"

namespace kezurin::cli {

enum class Encoding { Auto, Cp932, Utf8 };

// "auto", "cp932" or "utf-8" (also "utf8", any case); nothing for other names.
std::optional<Encoding> ParseEncoding(std::string_view name);

// True when `text` is well-formed UTF-8: no stray continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF, no cut-off sequence.
bool IsValidUtf8(std::string_view text);

// IsValidUtf8 over a text that comes in parts cut anywhere.
class Utf8Check {
public:
    void Feed(std::string_view part);
    // Whether all that was fed is well-formed UTF-8, as a whole.
    bool Valid() const { return valid_ && pending_.empty(); }

private:
    bool valid_ = true;
    std::string pending_;  // a sequence begun at the end of the last part
};

// The lead bytes to search `text` with: Shift-JIS for cp932, none for utf-8
// (right for any ASCII-based single-byte encoding too); auto takes utf-8 for
// valid UTF-8 and cp932 for everything else.
CodePage CodePageFor(Encoding encoding, std::string_view text);

// Number of lines when CR LF and a lone LF both end a line and an empty last
// line is not counted: the number of lines a removal run visits in each pass.
std::size_t CountLines(std::string_view text);

}  // namespace kezurin::cli
