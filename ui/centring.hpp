#pragma once

#include <windows.h>

#include <algorithm>

#include "layout.hpp"

namespace kezurin {

// The area that spans all monitors.
inline Size DesktopSize() {
    return {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The primary monitor.
inline Size ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// Moves a window to the centre of an area: each half truncated, a window
// larger than the area kept at its left or top edge. Its size stays.
inline void CentreWindow(HWND window, Size area) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int left = std::max(0, (area.width - static_cast<int>(rect.right - rect.left)) / 2);
    const int top = std::max(0, (area.height - static_cast<int>(rect.bottom - rect.top)) / 2);
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kezurin
