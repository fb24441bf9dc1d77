#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "application.hpp"
#include "win_handles.hpp"

namespace kezurin {

// A window's whole text as the ANSI functions give it: on a code-page-932
// system the same bytes as the interface texts are stored in.
inline std::string WindowText(HWND window) {
    // The length may be an upper bound (two bytes for every character).
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

namespace testing {

// A box in its parent's client coordinates.
inline Box BoxOf(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

inline Size ClientSizeOf(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

inline int OuterWidth(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return rect.right - rect.left;
}

inline POINT ScreenCentre(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The application with its real main window shown; error boxes are recorded.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application.Initialize();
        Application.SetTitle("ケズリン");
        Application.SetErrorBox([this](const std::string& text) { errorTexts.push_back(text); });
        form = &Application.CreateMainForm();
        form->ShowFirst(SW_SHOWNORMAL);
        SetForegroundWindow(form->Handle());
        Pump();
    }

    void TearDown() override {
        Application.DestroyMainForm();
        Application.SetErrorBox(nullptr);
        Pump();
    }

    static void Pump() { Application.ProcessMessages(); }

    void SetOuterWidth(int width) {
        RECT rect;
        GetWindowRect(form->Handle(), &rect);
        SetWindowPos(form->Handle(), nullptr, 0, 0, width, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump();
    }

    // A key as the keyboard sends it: to the window with the focus, through the event loop.
    static void PressKey(WPARAM key) {
        PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
        PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
        Pump();
    }

    TMainForm1* form = nullptr;
    std::vector<std::string> errorTexts;
};

}  // namespace testing
}  // namespace kezurin
