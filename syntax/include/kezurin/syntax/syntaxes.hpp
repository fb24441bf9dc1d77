#pragma once

// The exact syntaxes, one row each: what --syntax names, what --syntax auto
// and -r pick by a file's extension, what --help tells, and how the removal
// is made. A new language adds its file and one row here.

#include <array>
#include <memory>
#include <string_view>

#include "kezurin/syntax/removal.hpp"

namespace kezurin::syntax {

using MakeRemoval = std::unique_ptr<Removal> (*)(const CodePage& codePage, Removal::Sink sink);

std::unique_ptr<Removal> MakeCRemoval(const CodePage& codePage, Removal::Sink sink);

struct Syntax {
    std::string_view name;        // as --syntax names it
    std::string_view extensions;  // comma-separated file name endings, any case
    std::string_view handles;     // for --help: lines of at most 60 characters
    MakeRemoval make;
};

inline constexpr std::array kSyntaxes{
    Syntax{"c", "c,h,cc,cpp,cxx,c++,hh,hpp,hxx,h++,inl,ipp,tcc,m,mm",
           "exactly the comments a C or C++ compiler sees: literals with\n"
           "prefixes, raw strings R\"x(...)x\", 1'000, line splices",
           MakeCRemoval},
};

// The syntax named `name`; nullptr for a name no row has.
const Syntax* FindSyntax(std::string_view name);
// The syntax whose extensions hold `extension` (without its dot, any case); nullptr.
const Syntax* SyntaxForExtension(std::string_view extension);

}  // namespace kezurin::syntax
