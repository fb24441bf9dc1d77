#pragma once

#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"

namespace kezurin {

// The maker's information page; the program's file name is appended as the value of sn.
inline constexpr std::string_view kInfoPageAddressPrefix = "http://kezurin.example/info.php?pf=w&sn=";

// The file name of a path without its extension: the part after the last "\"
// or ":", cut before its last ".". The second byte of a double-byte character
// is never taken for one of those.
std::string ProgramName(std::string_view path, const CodePage& codePage);

// The information page's address for the program at `path`.
std::string InfoPageAddress(std::string_view path, const CodePage& codePage);

}  // namespace kezurin
