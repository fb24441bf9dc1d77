#pragma once

// The standard streams and the console.

#include <string_view>

namespace kezurin::cli {

// Standard input and output carry bytes, never translated line breaks.
void UseBinaryStandardStreams();
bool StandardErrorIsTerminal();
bool StandardOutputIsTerminal();

// Writes UTF-8 text to standard error: on a Windows console as characters, so
// that every name reads right whatever the console's code page; elsewhere as
// the bytes they are.
void WriteStandardError(std::string_view text);

}  // namespace kezurin::cli
