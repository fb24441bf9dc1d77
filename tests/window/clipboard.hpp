#pragma once

#include <windows.h>

#include <cstring>
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

}  // namespace kezurin::testing
