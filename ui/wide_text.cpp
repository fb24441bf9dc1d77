#include "wide_text.hpp"

#include <iterator>

namespace kezurin {

std::wstring FromCp932(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(
                          MultiByteToWideChar(kInterfaceCodePage, 0, text.data(), size, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(kInterfaceCodePage, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

std::string ToCp932(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(kInterfaceCodePage, 0, text.data(), size,
                                                                   nullptr, 0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(kInterfaceCodePage, 0, text.data(), size, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes;
}

WideText::WideText(std::string_view text) {
    shortText_[0] = L'\0';
    if (text.empty()) return;
    const int size = static_cast<int>(text.size());
    // Each byte gives at most one UTF-16 unit.
    if (text.size() < std::size(shortText_)) {
        const int length = MultiByteToWideChar(kInterfaceCodePage, 0, text.data(), size, shortText_,
                                               static_cast<int>(std::size(shortText_)) - 1);
        shortText_[length] = L'\0';
    } else {
        longText_ = FromCp932(text);
    }
}

std::wstring WideWindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace kezurin
