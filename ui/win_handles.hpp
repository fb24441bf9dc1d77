#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>

namespace kezurin {

// A GDI object (font, brush, pen, bitmap) deleted when it goes out of scope.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() {
        if (handle_) DeleteObject(handle_);
    }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;
using Pen = GdiObject<HPEN>;

// A window's device context from GetDC/GetDCEx, released when it goes out of scope.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(HWND window, DWORD flags) : window_(window), dc_(GetDCEx(window, nullptr, flags)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// The device context of one WM_PAINT, between BeginPaint and EndPaint.
class PaintDC {
public:
    explicit PaintDC(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects a GDI object into a device context and puts the old one back afterwards.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window destroyed when it goes out of scope (unless it is gone already).
class OwnedWindow {
public:
    OwnedWindow() = default;
    explicit OwnedWindow(HWND window) : window_(window) {}
    OwnedWindow(OwnedWindow&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    OwnedWindow& operator=(OwnedWindow&& other) noexcept {
        std::swap(window_, other.window_);
        return *this;
    }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    ~OwnedWindow() {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_ = nullptr;
};

// A window's whole text in the ANSI code page.
inline std::string WindowText(HWND window) {
    // The length may be an upper bound (two bytes for every character).
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace kezurin
