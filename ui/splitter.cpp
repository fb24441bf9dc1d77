#include "splitter.hpp"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace kezurin {
namespace {

// An 8 × 8 checkerboard for the drag line.
Brush MakeHatchBrush() {
    static constexpr std::array<WORD, 8> pattern{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    Bitmap bits(CreateBitmap(8, 8, 1, 1, pattern.data()));
    return Brush(CreatePatternBrush(bits.get()));
}

// A window's box in its parent's client area.
RECT BoxInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

HWND TSplitter::Create(HWND parent, const Box& box, int id, HWND pane,
                       std::function<void(int)> setPaneWidth, int smallestPane, ErrorSink onError) {
    pane_ = pane;
    setPaneWidth_ = std::move(setPaneWidth);
    smallestPane_ = smallestPane;
    hatch_ = MakeHatchBrush();
    if (!BaseWindow::Create({.className = L"TSplitter", .box = box, .parent = parent, .id = id},
                            std::move(onError))) {
        throw std::runtime_error("cannot create TSplitter");
    }
    return window_;
}

LRESULT TSplitter::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto face = HandleFaceMessage(message, IDC_SIZEWE)) return *face;
    switch (message) {
    case WM_LBUTTONDOWN:
        OnLButtonDown(GET_X_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(GET_X_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (drag_.active) EndDrag(true);
        return 0;
    case WM_CAPTURECHANGED:
    case WM_DESTROY:
        CancelDrag();
        break;
    }
    return Default(message, wParam, lParam);
}

// A bevel: a highlight edge and a shadow edge.
void TSplitter::OnPaint() {
    PaintDC paint(window_);
    RECT rect = PaintFace(paint.get());
    DrawEdge(paint.get(), &rect, BDR_RAISEDINNER, BF_LEFT | BF_RIGHT);
}

void TSplitter::OnLButtonDown(int x) {
    RECT parent;
    GetClientRect(GetParent(window_), &parent);
    const RECT own = BoxInParent(window_);
    const RECT pane = BoxInParent(pane_);
    drag_ = {};
    drag_.pressX = x;
    drag_.widthAtPress = pane.right - pane.left;
    drag_.largestWidth = parent.right - smallestPane_ - (own.right - own.left);
    drag_.proposed = drag_.widthAtPress;
    SetCapture(window_);
    drag_.active = true;
    DrawDragLine();
}

void TSplitter::OnMouseMove(int x) {
    if (!drag_.active) return;
    DrawDragLine();  // inverting again erases the line
    int proposed = std::min(drag_.widthAtPress + x - drag_.pressX, drag_.largestWidth);
    proposed = std::max(proposed, smallestPane_);
    drag_.proposed = proposed <= smallestPane_ ? 0 : proposed;
    DrawDragLine();
}

void TSplitter::DrawDragLine() {
    const HWND parent = GetParent(window_);
    const RECT own = BoxInParent(window_);
    const RECT pane = BoxInParent(pane_);
    WindowDC dc(parent, DCX_CACHE | DCX_CLIPSIBLINGS);
    Selection brush(dc.get(), hatch_.get());
    PatBlt(dc.get(), pane.left + drag_.proposed, own.top, own.right - own.left, own.bottom - own.top,
           PATINVERT);
    drag_.lineShown = !drag_.lineShown;
}

void TSplitter::EndDrag(bool apply) {
    if (drag_.lineShown) DrawDragLine();
    drag_.active = false;
    if (GetCapture() == window_) ReleaseCapture();
    if (apply && setPaneWidth_) setPaneWidth_(drag_.proposed);
}

}  // namespace kezurin
