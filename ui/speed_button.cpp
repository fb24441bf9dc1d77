#include "speed_button.hpp"

#include <commctrl.h>
#include <windowsx.h>

#include <stdexcept>

#include "wide_text.hpp"
#include "win_handles.hpp"

namespace kezurin {

HWND TSpeedButton::Create(HWND parent, const Box& box, int id, Look look,
                          std::function<void()> onClick, ErrorSink onError) {
    look_ = look;
    onClick_ = std::move(onClick);
    if (!BaseWindow::Create({.className = L"TSpeedButton", .box = box, .parent = parent, .id = id},
                            std::move(onError))) {
        throw std::runtime_error("cannot create TSpeedButton");
    }
    return window_;
}

LRESULT TSpeedButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto face = HandleFaceMessage(message, IDC_HAND)) return *face;
    switch (message) {
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(look_.font);
    case WM_LBUTTONDOWN:
        pressed_ = true;
        SetCapture(window_);
        Redraw();
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove();
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSELEAVE:
        hot_ = false;
        Redraw();
        return 0;
    case WM_CAPTURECHANGED:
        pressed_ = false;
        break;
    }
    return Default(message, wParam, lParam);
}

void TSpeedButton::OnPaint() {
    PaintDC paint(window_);
    RECT rect = PaintFace(paint.get());
    if (hot_) DrawEdge(paint.get(), &rect, pressed_ ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    Selection font(paint.get(), look_.font);
    SetBkMode(paint.get(), TRANSPARENT);
    SetTextColor(paint.get(), look_.color == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : look_.color);
    DrawTextW(paint.get(), WideText(look_.caption).c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void TSpeedButton::OnMouseMove() {
    if (hot_) return;
    hot_ = true;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
    TrackMouseEvent(&track);
    Redraw();
}

void TSpeedButton::OnLButtonUp(POINT point) {
    if (!pressed_) return;
    pressed_ = false;
    ReleaseCapture();
    Redraw();
    RECT rect;
    GetClientRect(window_, &rect);
    if (PtInRect(&rect, point) && onClick_) onClick_();
}

}  // namespace kezurin
