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
std::unique_ptr<Removal> MakeJsonRemoval(const CodePage& codePage, Removal::Sink sink);
std::unique_ptr<Removal> MakeCssRemoval(const CodePage& codePage, Removal::Sink sink);
std::unique_ptr<Removal> MakeScssRemoval(const CodePage& codePage, Removal::Sink sink);
std::unique_ptr<Removal> MakeLessRemoval(const CodePage& codePage, Removal::Sink sink);

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
    Syntax{"json", "json,jsonc,json5",
           "JSON with comments and JSON5: // and /* */ outside strings,\n"
           "every escape (\"C:\\\\\", \"\\u002F\"), '...' strings",
           MakeJsonRemoval},
    Syntax{"css", "css", "only /* */: // is never a comment (url(//cdn/a.png))", MakeCssRemoval},
    Syntax{"scss", "scss", "// and /* */, but neither in strings nor in url(...),\nand no // inside #{...}",
           MakeScssRemoval},
    Syntax{"less", "less", "// and /* */, but neither in strings nor in url(...)", MakeLessRemoval},
};

// The syntax named `name`; nullptr for a name no row has.
const Syntax* FindSyntax(std::string_view name);
// The syntax whose extensions hold `extension` (without its dot, any case); nullptr.
const Syntax* SyntaxForExtension(std::string_view extension);

}  // namespace kezurin::syntax
