#include "wtf8.hpp"

namespace kezurin {
namespace {

bool IsLeadSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsTrailSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendCodePoint(std::string& out, char32_t point) {
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// The length of the sequence a byte begins, 0 for one that begins none.
std::size_t SequenceLength(unsigned char byte) {
    if (byte < 0x80) return 1;
    if (byte >= 0xC2 && byte <= 0xDF) return 2;
    if (byte >= 0xE0 && byte <= 0xEF) return 3;
    if (byte >= 0xF0 && byte <= 0xF4) return 4;
    return 0;
}

}  // namespace

template <class Char>
std::string Wtf8FromUtf16(std::basic_string_view<Char> text) {
    static_assert(sizeof(Char) == 2, "UTF-16 code units");
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char32_t unit = static_cast<char16_t>(text[at]);
        if (unit < 0x80) {
            out += static_cast<char>(unit);  // the usual case of source text
            continue;
        }
        if (IsLeadSurrogate(unit) && at + 1 < text.size()) {
            const char32_t next = static_cast<char16_t>(text[at + 1]);
            if (IsTrailSurrogate(next)) {
                AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                ++at;
                continue;
            }
        }
        AppendCodePoint(out, unit);  // a lone surrogate as well
    }
    return out;
}

namespace {

// One sequence at `at`: its length in bytes and the code point it holds,
// or one byte that begins no whole sequence (U+FFFD).
struct Sequence {
    std::size_t bytes;
    char32_t point;
};

Sequence NextSequence(std::string_view text, std::size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) return {1, byte};
    const std::size_t length = SequenceLength(byte);
    bool whole = length > 1 && at + length <= text.size();
    for (std::size_t i = 1; whole && i < length; ++i)
        whole = IsContinuation(static_cast<unsigned char>(text[at + i]));
    if (!whole) return {1, 0xFFFD};
    char32_t point = byte & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i)
        point = (point << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
    // Overlong forms and points beyond Unicode come from no UTF-16 text.
    const char32_t smallest = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0;
    if (point < smallest || point > 0x10FFFF) return {1, 0xFFFD};
    return {length, point};
}

}  // namespace

template <class Char>
std::basic_string<Char> Utf16FromWtf8(std::string_view text) {
    static_assert(sizeof(Char) == 2, "UTF-16 code units");
    std::basic_string<Char> out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            out += static_cast<Char>(text[at++]);  // the usual case of source text
            continue;
        }
        const Sequence sequence = NextSequence(text, at);
        if (sequence.point >= 0x10000) {
            out += static_cast<Char>(0xD800 + ((sequence.point - 0x10000) >> 10));
            out += static_cast<Char>(0xDC00 + ((sequence.point - 0x10000) & 0x3FF));
        } else {
            out += static_cast<Char>(sequence.point);
        }
        at += sequence.bytes;
    }
    return out;
}

std::size_t Utf16Length(std::string_view text, std::size_t bytes) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < bytes && at < text.size();) {
        const Sequence sequence = NextSequence(text, at);
        units += sequence.point >= 0x10000 ? 2 : 1;
        at += sequence.bytes;
    }
    return units;
}

template std::string Wtf8FromUtf16(std::basic_string_view<char16_t>);
template std::u16string Utf16FromWtf8(std::string_view);
#ifdef _WIN32
template std::string Wtf8FromUtf16(std::basic_string_view<wchar_t>);
template std::wstring Utf16FromWtf8(std::string_view);
#endif

}  // namespace kezurin
