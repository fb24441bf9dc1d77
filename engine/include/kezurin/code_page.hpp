#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kezurin {

// An ANSI code page, known by its lead bytes: a lead byte and the byte after it
// form one double-byte character. Texts are never converted; this is all the
// engine needs to know about their encoding.
class CodePage {
public:
    // No lead bytes: every byte is a character of its own.
    constexpr CodePage() = default;

    // Code page 932 (Shift-JIS): lead bytes 0x81-0x9F and 0xE0-0xFC.
    static constexpr CodePage ShiftJis() {
        CodePage page;
        page.AddLeadBytes(0x81, 0x9F);
        page.AddLeadBytes(0xE0, 0xFC);
        return page;
    }

    constexpr bool IsLeadByte(char byte) const {
        return lead_[static_cast<unsigned char>(byte)];
    }

    // Number of lead bytes that stand, without a gap, directly before
    // `offset`. An odd count means `offset` is the second byte of a
    // double-byte character.
    std::size_t LeadRunBefore(std::string_view text, std::size_t offset) const {
        std::size_t run = 0;
        while (run < offset && IsLeadByte(text[offset - run - 1])) ++run;
        return run;
    }

private:
    // Lead bytes are 0x81 and above, as in every double-byte code page.
    constexpr void AddLeadBytes(unsigned char first, unsigned char last) {
        for (unsigned byte = first; byte <= last; ++byte) lead_[byte] = true;
    }

    std::array<bool, 256> lead_{};
};

inline constexpr CodePage kShiftJis = CodePage::ShiftJis();

// How many bytes at the start of `text` are ASCII (below 0x80).
std::size_t AsciiPrefixLength(std::string_view text);

}  // namespace kezurin
