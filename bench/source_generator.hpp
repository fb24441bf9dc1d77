#pragma once

#include <cstddef>
#include <string>

namespace kezurin::bench {

// A C++-like source of about `bytes` bytes with CR LF line breaks: code,
// string literals, line and block comments (some over several lines), and
// Japanese comments in Shift-JIS. The same seed gives the same text.
std::string GenerateSource(std::size_t bytes, unsigned seed = 1);

}  // namespace kezurin::bench
