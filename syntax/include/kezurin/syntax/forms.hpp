#pragma once

// How a language writes its comments and literals, as data for the lexer
// framework (lexer.hpp).

#include <array>
#include <cstddef>
#include <string_view>

namespace kezurin::syntax {

// A block comment: "/*" to "*/", nested (Rust, Swift, Kotlin) or not.
struct BlockCommentForm {
    std::string_view open = "/*";
    std::string_view close = "*/";
    bool nests = false;
};

// One kind of literal: a string, a character, a template, a raw string...
struct LiteralForm {
    std::string_view name{};   // for the warning about one left open: "string", "template literal"
    std::string_view open{};   // how it starts in code; empty: only the language's own code opens it
    std::string_view close{};  // empty: the language gives the close when it opens one (raw strings)
    char closeStart = 0;       // then: the first byte of every close it gives
    char escape = 0;           // the escape character, which takes the character after it; 0: none
    bool multiline = false;    // false: an unescaped line break ends it, closed or not
    std::string_view hole{};   // where code starts inside it ("${", "#{", "\\("); it ends at the
                               // bracket that matches the hole's last byte; empty: no holes
    bool doubledClose = false; // the close written twice stands for itself (C# @"a""b")
};

// Bytes to stop at, gathered at compile time: each at most once, 0 left out.
struct ByteList {
    char bytes[32]{};
    std::size_t size = 0;

    constexpr void Add(char byte) {
        if (byte == 0) return;
        for (std::size_t i = 0; i < size; ++i)
            if (bytes[i] == byte) return;
        bytes[size++] = byte;
    }
    constexpr void Add(std::string_view list) {
        for (const char byte : list) Add(byte);
    }
    constexpr void AddFirst(std::string_view text) {
        if (!text.empty()) Add(text.front());
    }
};

template <ByteList kList>
constexpr std::array<char, kList.size> AsArray() {
    std::array<char, kList.size> bytes{};
    for (std::size_t i = 0; i < kList.size; ++i) bytes[i] = kList.bytes[i];
    return bytes;
}

// Whether any of `bytes` can be the second byte of a double-byte character:
// none below 0x40 can, in any code page.
template <std::size_t N>
constexpr bool MaySecondByte(const std::array<char, N>& bytes) {
    for (const char byte : bytes)
        if (static_cast<unsigned char>(byte) >= 0x40) return true;
    return false;
}

// The bracket that closes what `open` opens; 0 for other bytes.
constexpr char ClosingBracket(char open) {
    switch (open) {
        case '{': return '}';
        case '(': return ')';
        case '[': return ']';
        default: return 0;
    }
}

}  // namespace kezurin::syntax
