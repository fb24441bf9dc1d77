#include "panel.hpp"

#include "wide_text.hpp"
#include "win_handles.hpp"

namespace kezurin {

HWND TPanel::Create(HWND parent, const Box& box, int id, Look look, CommandSink onCommand, ErrorSink onError) {
    look_ = look;
    onCommand_ = std::move(onCommand);
    const WideText caption(look.caption);
    const WindowSpec spec{.className = L"TKezurinControl",
                          .style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                          .extendedStyle = look.isLabel ? 0u : static_cast<DWORD>(WS_EX_CONTROLPARENT),
                          .caption = caption.c_str(),
                          .box = box,
                          .parent = parent,
                          .id = id};
    return BaseWindow::Create(spec, std::move(onError));
}

LRESULT TPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (onCommand_) onCommand_(wParam, lParam);
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
        PaintFace(reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(look_.font);
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return Default(message, wParam, lParam);
}

// A label's text sits at its bottom; a panel shows nothing but its face.
void TPanel::OnPaint() {
    PaintDC paint(window_);
    RECT rect = PaintFace(paint.get());
    if (!look_.isLabel) return;
    Selection font(paint.get(), look_.font);
    SetBkMode(paint.get(), TRANSPARENT);
    SetTextColor(paint.get(), GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(paint.get(), WideText(look_.caption).c_str(), -1, &rect,
              DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace kezurin
