#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kezurin::cli {

// The file name endings -r picks when no --extensions are given.
inline constexpr std::string_view kDefaultExtensions = "c,h,cc,cpp,cxx,c++,hh,hpp,hxx,h++,inl,ipp,tcc,m,mm";

// Splits "c, .h,cpp" into {"c", "h", "cpp"}; empty items are dropped.
std::vector<std::string> ParseExtensionList(std::string_view list);

// The inputs with every folder among them replaced by the source files below
// it, in name order. Version-control folders are skipped and links to folders
// are not followed, so a link loop cannot trap the walk. A folder that cannot
// be listed and an entry whose kind cannot be told go to `report` with the
// reason, and the walk goes on.
std::vector<std::string> ExpandFolders(const std::vector<std::string>& inputs,
                                       const std::vector<std::string>& extensions,
                                       const std::function<void(const std::string&, const std::string&)>& report);

}  // namespace kezurin::cli
