#pragma once

#include <optional>

#include "file_io.hpp"
#include "kezurin/code_page.hpp"

namespace kezurin::cli {

// --syntax c over one input, a part of whole lines at a time, the result
// written to `output` as it is made; failures of the output are thrown as
// OutputError. Without a code page it is the one --encoding auto chooses from
// all of the input: the input streams through for as long as the choice
// makes no difference, and from the first part where it would, the rest is
// read whole first.
void RemoveCSyntaxStreamed(InputStream& input, std::optional<CodePage> codePage, Output& output);

}  // namespace kezurin::cli
