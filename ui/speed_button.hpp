#pragma once

#include <windows.h>

#include <functional>

#include "base_window.hpp"

namespace kezurin {

// A flat button: takes no focus, shows its frame only while the pointer is
// over it, and clicks when the left button is released over it.
class TSpeedButton : public BaseWindow<TSpeedButton> {
public:
    struct Look {
        const char* caption;
        HFONT font;
        COLORREF color;
    };

    HWND Create(HWND parent, const Box& box, int id, Look look, std::function<void()> onClick,
                ErrorSink onError);

private:
    friend class BaseWindow<TSpeedButton>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnMouseMove();
    void OnLButtonUp(POINT point);
    void Redraw() { InvalidateRect(window_, nullptr, TRUE); }

    Look look_{};
    std::function<void()> onClick_;
    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace kezurin
