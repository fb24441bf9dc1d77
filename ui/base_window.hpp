#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

#include "layout.hpp"
#include "window_class.hpp"

namespace kezurin {

// Where an error goes that escapes a window's message handling.
using ErrorSink = std::function<void(std::exception_ptr)>;

// A small painted window class of its own: the static window procedure
// paints with T::OnPaint (which fills the whole face), shows T::kCursor and
// forwards every other message to T::HandleMessage of the object the window
// was created for.
template <class T>
class BaseWindow {
public:
    HWND Window() const { return window_; }

protected:
    BaseWindow() = default;
    ~BaseWindow() = default;
    BaseWindow(const BaseWindow&) = delete;
    BaseWindow& operator=(const BaseWindow&) = delete;

    HWND CreateChild(HWND parent, const Box& box, int id, ErrorSink onError) {
        RegisterWindowClass(T::kClassName, WindowProc, nullptr);
        onError_ = std::move(onError);
        CreateWindowExW(0, T::kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, box.left,
                        box.top, box.width, box.height, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                        this);
        if (!window_) throw std::runtime_error("cannot create " + std::string(T::kName));
        return window_;
    }

    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window_, message, wParam, lParam);
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
        // No exception may unwind through the system's frames.
        try {
            T& derived = *static_cast<T*>(self);
            switch (message) {
            case WM_PAINT:
                derived.OnPaint();
                return 0;
            case WM_ERASEBKGND:
                return TRUE;
            case WM_SETCURSOR:
                SetCursor(LoadCursor(nullptr, T::kCursor));
                return TRUE;
            }
            return derived.HandleMessage(message, wParam, lParam);
        } catch (...) {
            if (self->onError_) self->onError_(std::current_exception());
            return 0;
        }
    }

    ErrorSink onError_;
};

}  // namespace kezurin
