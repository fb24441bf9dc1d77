#include "line_marks.hpp"

#include <algorithm>
#include <cstring>

#include "block_scan.hpp"

namespace kezurin {

LineMarks MarkLine(std::string_view line) {
    char block[detail::kBlockSize] = {};
    if (!line.empty()) std::memcpy(block, line.data(), std::min(line.size(), sizeof block));
    const auto found = detail::MatchBlock(block, std::array{'/', '*', '"'});
    return LineMarks{found[0], found[1], found[2]};
}

}  // namespace kezurin
