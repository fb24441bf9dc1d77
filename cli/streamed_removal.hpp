#pragma once

#include <optional>
#include <string_view>

#include "file_io.hpp"
#include "kezurin/code_page.hpp"
#include "kezurin/text_removal.hpp"

namespace kezurin::cli {

// A failure to write the output, told apart from the input's own failures.
class OutputError : public FileError {
public:
    using FileError::FileError;
};

// A sink that writes to `output`, its failures thrown as OutputError.
TextRemoval::Sink WritingTo(Output& output);

// Removes the comments of everything `input` gives, a part at a time into
// one buffer used again and again, and writes the result to `output` as it is
// made. Lines may end in CR LF or in a lone LF. Without a code page it is the
// one --encoding auto chooses from all of the input: the input streams
// through for as long as the choice makes no difference, and from the first
// part where it would, the rest is read whole first. Failures of the output
// are thrown as OutputError.
void RemoveCommentsStreamed(InputStream& input, std::optional<CodePage> codePage, Output& output);

}  // namespace kezurin::cli
