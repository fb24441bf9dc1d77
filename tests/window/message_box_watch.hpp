#pragma once

#include <windows.h>

#include <string>
#include <thread>

#include "window_fixture.hpp"

namespace kezurin::testing {

// The box a thread finds and closes: its caption, text, owner and place.
struct SeenBox {
    std::string caption;  // as the ANSI functions read it
    std::string text;
    std::wstring wideCaption;
    std::wstring wideText;
    HWND owner = nullptr;
    RECT rect{};
};

// The visible dialog box of a thread, or null.
inline HWND DialogOf(DWORD thread) {
    for (HWND box = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); box;
         box = FindWindowExW(nullptr, box, L"#32770", nullptr)) {
        if (GetWindowThreadProcessId(box, nullptr) == thread && IsWindowVisible(box)) return box;
    }
    return nullptr;
}

inline std::wstring WideTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Waits (5 s at most) for a message box of the thread, notes it and closes it.
inline SeenBox CloseTheMessageBoxWhenItShows(DWORD thread) {
    SeenBox seen;
    for (int attempt = 0; attempt < 500; ++attempt) {
        const HWND box = DialogOf(thread);
        if (box) {
            const HWND text = GetDlgItem(box, 0xFFFF);
            seen.caption = WindowText(box);
            seen.text = WindowText(text);
            seen.wideCaption = WideTextOf(box);
            seen.wideText = WideTextOf(text);
            seen.owner = GetWindow(box, GW_OWNER);
            GetWindowRect(box, &seen.rect);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            break;
        }
        Sleep(10);
    }
    return seen;
}

// Does `action`, closing the message box it shows on this thread; what the box showed.
template <class Action>
SeenBox CloseTheMessageBoxOf(Action&& action) {
    SeenBox seen;
    std::thread closer([&seen, thread = GetCurrentThreadId()] { seen = CloseTheMessageBoxWhenItShows(thread); });
    action();
    closer.join();
    return seen;
}

}  // namespace kezurin::testing
