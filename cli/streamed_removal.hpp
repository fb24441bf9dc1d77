#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "file_system.hpp"
#include "input_stream.hpp"
#include "kezurin/code_page.hpp"
#include "kezurin/syntax/syntaxes.hpp"
#include "kezurin/text_removal.hpp"
#include "output.hpp"

namespace kezurin::cli {

// A failure to write the output, told apart from the input's own failures.
class OutputError : public FileError {
public:
    using FileError::FileError;
};

// A function that writes each piece it is given to `output`, its failures
// thrown as OutputError.
std::function<void(std::string_view)> WritingTo(Output& output);

// The passes over an input: for --encoding auto, sometimes a check of the
// rest of the input for UTF-8 (reading ahead, nothing written); then the
// removal, which takes each line through both of its passes at once.
enum class Pass { Utf8Check, Removal };

// Told after every part which pass is at work and how many bytes of the
// input it has done.
using ProgressReport = std::function<void(Pass pass, std::uint64_t bytesDone)>;

// Removes the comments of everything `input` gives, a part at a time into
// one buffer used again and again, and writes the result to `output` as it is
// made. Lines may end in CR LF or in a lone LF. Failures of the output are
// thrown as OutputError.
//
// Without a code page it is the one --encoding auto chooses from all of the
// input. The input streams through for as long as both code pages make the
// same of every line (TextRemoval::TakeLinesAlike), most inputs to their end.
// Before the first line they would make different, the choice is made: for a
// regular file, by checking it for UTF-8 from its start; for a pipe, which is
// checked as it is read (a pipe cannot be read twice), by reading on, keeping
// what it reads, until the input stops being UTF-8 or ends. A pipe that is
// not UTF-8 is known at once.
void RemoveCommentsStreamed(InputStream& input, std::optional<CodePage> codePage, Output& output,
                            const ProgressReport& progress = {});

// The same by an exact syntax, which makes the choice the same way before the
// first line where a Shift-JIS lead byte could change how the text is lexed.
// Returns the construct left open at the end of the input, if any.
std::optional<syntax::OpenConstruct> RemoveSyntaxStreamed(InputStream& input, std::optional<CodePage> codePage,
                                                          Output& output, const syntax::Syntax& syntax);

}  // namespace kezurin::cli
