#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace kezurin {

// The interface texts are stored as their code-page-932 bytes (the sources are
// compiled to CP932) and shown through the ...W functions, converted with code
// page 932 itself: they read right whatever the system's ANSI code page is.
inline constexpr UINT kInterfaceCodePage = 932;

std::wstring FromCp932(std::string_view text);
std::string ToCp932(std::wstring_view text);

// An interface text as a terminated UTF-16 text, on the stack when it is
// short: a message box can then report exhausted memory.
class WideText {
public:
    explicit WideText(std::string_view text);
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;
    const wchar_t* c_str() const { return longText_.empty() ? shortText_ : longText_.c_str(); }

private:
    wchar_t shortText_[512];
    std::wstring longText_;
};

// A window's whole text.
std::wstring WideWindowText(HWND window);

}  // namespace kezurin
