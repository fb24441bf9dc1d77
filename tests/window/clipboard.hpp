#pragma once

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <optional>
#include <string>
#include <string_view>

namespace kezurin::testing {

// The clipboard, opened for as long as this lives. Another program (Wine's
// own clipboard manager) may hold it for a moment: opening is retried.
class OpenedClipboard {
public:
    OpenedClipboard() {
        for (int attempt = 0; attempt < 100 && !open_; ++attempt) {
            open_ = OpenClipboard(nullptr) != FALSE;
            if (!open_) Sleep(10);
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

// Puts text on the clipboard in the ANSI code page; no text at all when nullopt.
inline bool PutOnClipboard(std::optional<std::string_view> text) {
    OpenedClipboard clipboard;
    if (!clipboard || !EmptyClipboard()) return false;
    if (!text) return true;
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text->size() + 1);
    if (!memory) return false;
    char* bytes = static_cast<char*>(GlobalLock(memory));
    std::memcpy(bytes, text->data(), text->size());
    bytes[text->size()] = '\0';
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_TEXT, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

// The clipboard's text in the ANSI code page, or nullopt when it holds none.
inline std::optional<std::string> ClipboardText() {
    OpenedClipboard clipboard;
    if (!clipboard) return std::nullopt;
    const HANDLE memory = GetClipboardData(CF_TEXT);
    if (!memory) return std::nullopt;
    const char* bytes = static_cast<const char*>(GlobalLock(memory));
    std::string text = bytes ? bytes : "";
    GlobalUnlock(memory);
    return text;
}

// Puts UTF-16 text on the clipboard, as a Unicode program does.
inline bool PutUnicodeOnClipboard(std::wstring_view text) {
    OpenedClipboard clipboard;
    if (!clipboard || !EmptyClipboard()) return false;
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory) return false;
    auto* units = static_cast<wchar_t*>(GlobalLock(memory));
    std::wmemcpy(units, text.data(), text.size());
    units[text.size()] = L'\0';
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

// The clipboard's UTF-16 text, or nullopt when it holds none.
inline std::optional<std::wstring> UnicodeClipboardText() {
    OpenedClipboard clipboard;
    if (!clipboard) return std::nullopt;
    const HANDLE memory = GetClipboardData(CF_UNICODETEXT);
    if (!memory) return std::nullopt;
    const auto* units = static_cast<const wchar_t*>(GlobalLock(memory));
    std::wstring text = units ? units : L"";
    GlobalUnlock(memory);
    return text;
}

}  // namespace kezurin::testing
