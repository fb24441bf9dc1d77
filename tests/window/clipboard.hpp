#pragma once

#include <windows.h>

#include <algorithm>
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

// Puts text on the clipboard in one format; no text at all when nullopt.
template <class Char>
bool PutOnClipboardAs(UINT format, std::optional<std::basic_string_view<Char>> text) {
    OpenedClipboard clipboard;
    if (!clipboard || !EmptyClipboard()) return false;
    if (!text) return true;
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text->size() + 1) * sizeof(Char));
    if (!memory) return false;
    auto* units = static_cast<Char*>(GlobalLock(memory));
    std::copy(text->begin(), text->end(), units);
    units[text->size()] = Char();
    GlobalUnlock(memory);
    if (!SetClipboardData(format, memory)) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

// The clipboard's text in one format, or nullopt when it holds none.
template <class Char>
std::optional<std::basic_string<Char>> ClipboardTextAs(UINT format) {
    OpenedClipboard clipboard;
    if (!clipboard) return std::nullopt;
    const HANDLE memory = GetClipboardData(format);
    if (!memory) return std::nullopt;
    const auto* units = static_cast<const Char*>(GlobalLock(memory));
    std::basic_string<Char> text = units ? units : std::basic_string<Char>();
    GlobalUnlock(memory);
    return text;
}

// In the ANSI code page.
inline bool PutOnClipboard(std::optional<std::string_view> text) { return PutOnClipboardAs(CF_TEXT, text); }
inline std::optional<std::string> ClipboardText() { return ClipboardTextAs<char>(CF_TEXT); }

// As a Unicode program does.
inline bool PutUnicodeOnClipboard(std::wstring_view text) {
    return PutOnClipboardAs(CF_UNICODETEXT, std::optional<std::wstring_view>(text));
}
inline std::optional<std::wstring> UnicodeClipboardText() { return ClipboardTextAs<wchar_t>(CF_UNICODETEXT); }

}  // namespace kezurin::testing
