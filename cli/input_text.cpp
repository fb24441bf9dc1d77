#include "input_text.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kezurin::cli {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// How many bytes a sequence begun by `lead` (0xC0 or above) claims, well-formed or not.
std::size_t LengthAfterLead(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2; }

// Length of the well-formed UTF-8 sequence that starts at `at` with a
// non-ASCII byte, or 0 when it is not well-formed.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    unsigned char secondMin = 0x80, secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondMin = 0xA0;  // overlong
        if (lead == 0xED) secondMax = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondMin = 0x90;  // overlong
        if (lead == 0xF4) secondMax = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(1) < secondMin || byte(1) > secondMax) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(byte(i))) return 0;
    }
    return length;
}

}  // namespace

std::optional<Encoding> ParseEncoding(std::string_view name) {
    if (EqualsIgnoringCase(name, "auto")) return Encoding::Auto;
    if (EqualsIgnoringCase(name, "cp932")) return Encoding::Cp932;
    if (EqualsIgnoringCase(name, "utf-8") || EqualsIgnoringCase(name, "utf8")) return Encoding::Utf8;
    return std::nullopt;
}

bool IsValidUtf8(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size()) {
        // Source text is mostly ASCII, passed over a block at a time.
        at += AsciiPrefixLength(text.substr(at));
        if (at == text.size()) break;
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

void Utf8Check::Feed(std::string_view part) {
    if (!valid_) return;
    if (!pending_.empty()) {
        // The begun sequence is checked with as many bytes as it needs.
        const std::size_t length = LengthAfterLead(static_cast<unsigned char>(pending_[0]));
        const std::size_t taken = std::min(length - pending_.size(), part.size());
        pending_.append(part.substr(0, taken));
        part.remove_prefix(taken);
        if (pending_.size() < length) return;
        valid_ = IsValidUtf8(pending_);
        pending_.clear();
        if (!valid_) return;
    }
    // A sequence begun in the last three bytes and not ended there waits for the next part.
    std::size_t cut = part.size();
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, part.size()); ++back) {
        const auto byte = static_cast<unsigned char>(part[part.size() - back]);
        if (IsContinuation(byte)) continue;
        const std::size_t length = byte >= 0xC0 ? LengthAfterLead(byte) : 1;
        if (length > back) cut = part.size() - back;
        break;
    }
    valid_ = IsValidUtf8(part.substr(0, cut));
    pending_.assign(part.substr(cut));
}

CodePage CodePageFor(Encoding encoding, std::string_view text) {
    switch (encoding) {
        case Encoding::Cp932:
            return kShiftJis;
        case Encoding::Utf8:
            return CodePage{};
        case Encoding::Auto:
            break;
    }
    return IsValidUtf8(text) ? CodePage{} : kShiftJis;
}

std::size_t CountLines(std::string_view text) {
    const auto breaks = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    return breaks + (text.empty() || text.back() == '\n' ? 0 : 1);
}

}  // namespace kezurin::cli
