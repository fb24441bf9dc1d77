#pragma once

// Code page 932 and UTF-8 for the fuzz targets, through the C library's iconv
// (Linux): the window hands the engine UTF-8 where it used to hand it
// Shift-JIS, and the two must give the same text.

#include <iconv.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kezurin/code_page.hpp"

namespace kezurin::fuzz {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (Usable()) iconv_close(handle_);
    }
    bool Usable() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // The whole text converted, or nullopt when a byte sequence has no counterpart.
    std::optional<std::string> operator()(std::string_view text) const {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string out(text.size() * 4 + 4, '\0');
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char* to = out.data();
        std::size_t outLeft = out.size();
        if (iconv(handle_, &in, &inLeft, &to, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return std::nullopt;
        out.resize(out.size() - outLeft);
        return out;
    }

private:
    iconv_t handle_;
};

inline const Converter& Utf8FromCp932() {
    static const Converter converter("UTF-8", "CP932");
    return converter;
}

inline const Converter& Cp932FromUtf8() {
    static const Converter converter("CP932", "UTF-8");
    return converter;
}

// The characters of code page 932 that go to UTF-8 and come back as the same
// bytes (of a character the table holds twice, the NEC and IBM copies, only
// one comes back): the single-byte ones, then the double-byte ones.
struct Cp932Characters {
    std::vector<std::string> single;
    std::vector<std::string> doubleByte;
};

inline const Cp932Characters& RoundTripCharacters() {
    static const Cp932Characters characters = [] {
        Cp932Characters found;
        auto keep = [&](std::vector<std::string>& into, std::string bytes) {
            const std::optional<std::string> utf8 = Utf8FromCp932()(bytes);
            if (utf8 && Cp932FromUtf8()(*utf8) == bytes) into.push_back(std::move(bytes));
        };
        for (unsigned byte = 0; byte < 0x100; ++byte) {
            if (!kShiftJis.IsLeadByte(static_cast<char>(byte))) keep(found.single, std::string(1, static_cast<char>(byte)));
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!kShiftJis.IsLeadByte(static_cast<char>(lead))) continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                keep(found.doubleByte, {static_cast<char>(lead), static_cast<char>(trail)});
            }
        }
        return found;
    }();
    return characters;
}

}  // namespace kezurin::fuzz
