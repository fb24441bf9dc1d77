#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <optional>

#include "layout.hpp"
#include "window_class.hpp"

namespace kezurin {

// Where an error goes that escapes a window's message handling.
using ErrorSink = std::function<void(std::exception_ptr)>;

// What a window is created as.
struct WindowSpec {
    const wchar_t* className;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD extendedStyle = 0;
    const wchar_t* caption = L"";
    Box box{};
    HWND parent = nullptr;  // the parent of a child, the owner of a top-level window
    int id = 0;             // a child's control identifier
    HICON icon = nullptr;   // the class's icon
};

// One object for each window of a window class of the program: the class's
// one window procedure finds the object the window was created for and hands
// every message to its T::HandleMessage. No exception unwinds through the
// system's frames: it goes to the object's error sink instead.
template <class T>
class BaseWindow {
public:
    HWND Window() const { return window_; }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    // Registers the class (once) and creates the window; null when the system refuses.
    HWND Create(const WindowSpec& spec, ErrorSink onError) {
        RegisterWindowClass(spec.className, WindowProc, spec.icon);
        onError_ = std::move(onError);
        CreateWindowExW(spec.extendedStyle, spec.className, spec.caption, spec.style, spec.box.left,
                        spec.box.top, spec.box.width, spec.box.height, spec.parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), GetModuleHandleW(nullptr),
                        this);
        return window_;
    }

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window_, message, wParam, lParam);
    }

    // The messages of a small window that paints its whole face itself (with
    // T::OnPaint) and shows one pointer shape; nullopt for any other message.
    std::optional<LRESULT> HandleFaceMessage(UINT message, LPCTSTR cursor) {
        switch (message) {
        case WM_PAINT:
            static_cast<T*>(this)->OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return TRUE;
        case WM_SETCURSOR:
            SetCursor(LoadCursor(nullptr, cursor));
            return TRUE;
        }
        return std::nullopt;
    }

    // Fills the whole client area with the button face and returns it.
    RECT PaintFace(HDC dc) const {
        RECT rect;
        GetClientRect(window_, &rect);
        FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
        return rect;
    }

    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        BaseWindow* self;
        if (message == WM_NCCREATE) {
            self = static_cast<BaseWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            self->window_ = window;
        } else {
            self = reinterpret_cast<BaseWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        }
        if (!self) return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        try {
            return static_cast<T*>(self)->HandleMessage(message, wParam, lParam);
        } catch (...) {
            if (self->onError_) self->onError_(std::current_exception());
            return message == WM_CREATE ? -1 : 0;
        }
    }

    ErrorSink onError_;
};

}  // namespace kezurin
