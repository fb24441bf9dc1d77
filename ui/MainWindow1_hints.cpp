// Hints of the main window: tooltips over the controls and the status-bar
// text under the pointer.
#include "MainWindow1.hpp"
#include "wide_text.hpp"

namespace kezurin {
namespace {

// The tooltip control's own window procedure, which TooltipProc passes on to.
WNDPROC previousTooltipProc = nullptr;

}  // namespace

void TMainForm1::CreateTooltips() {
    const HintSettings hints = owner_.Hints();
    tooltip_ = OwnedWindow(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                           nullptr, GetModuleHandleW(nullptr), nullptr));
    if (!tooltip_.get()) return;
    for (const Child& child : children_) {
        if (!*child.row->hint) continue;
        // The tooltip keeps a copy of the text.
        std::wstring hint = FromCp932(child.row->hint);
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        // No subclassing: a disabled control gets no mouse input. The window
        // relays the pointer's moves for the control under it instead.
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(child.window);
        tool.lpszText = hint.data();
        SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    previousTooltipProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        tooltip_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipProc)));
    SendMessageW(tooltip_.get(), TTM_SETDELAYTIME, TTDT_INITIAL, static_cast<LPARAM>(hints.initialDelay));
    SendMessageW(tooltip_.get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, static_cast<LPARAM>(hints.hideDelay));
    SendMessageW(tooltip_.get(), TTM_ACTIVATE, hints.show, 0);
}

// The tooltip sees the pointer's moves as made over the control under the
// pointer, a disabled one too, which gets no mouse messages of its own.
void TMainForm1::RelayToTooltip(const MSG& message) {
    if (!tooltip_.get()) return;
    MSG relayed = message;
    if (const HWND control = ControlAt(message.pt)) {
        POINT point = message.pt;
        ScreenToClient(control, &point);
        relayed.hwnd = control;
        relayed.lParam = MAKELPARAM(point.x, point.y);
    }
    SendMessageW(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

HWND TMainForm1::ControlAt(POINT screenPoint) const {
    const Child* child = ChildAt(screenPoint);
    return child ? child->window : nullptr;
}

// The tooltip asks which window is under the pointer before it shows and while
// it stays: the answer includes disabled controls.
LRESULT CALLBACK TMainForm1::TooltipProc(HWND tooltip, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TTM_WINDOWFROMPOINT && MainForm1 && MainForm1->Handle()) {
        const POINT point = *reinterpret_cast<const POINT*>(lParam);
        const HWND top = WindowFromPoint(point);
        if (top && GetAncestor(top, GA_ROOT) == MainForm1->Handle()) {
            if (const HWND control = MainForm1->ControlAt(point)) return reinterpret_cast<LRESULT>(control);
        }
        return reinterpret_cast<LRESULT>(top);
    }
    return CallWindowProcW(previousTooltipProc, tooltip, message, wParam, lParam);
}

const TMainForm1::Child* TMainForm1::ChildAt(POINT screenPoint) const {
    HWND window = window_;
    for (;;) {
        POINT point = screenPoint;
        ScreenToClient(window, &point);
        const HWND next = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!next || next == window) break;
        window = next;
    }
    const int index = IndexOf(window);
    return index < 0 ? nullptr : &children_[index];
}

std::string TMainForm1::HintAt(POINT screenPoint) const {
    const HWND top = WindowFromPoint(screenPoint);
    if (!window_ || !top || GetAncestor(top, GA_ROOT) != window_) return {};
    for (const Child* child = ChildAt(screenPoint); child;
         child = child->parent < 0 ? nullptr : &children_[child->parent]) {
        if (*child->row->hint) return child->row->hint;
    }
    return {};
}

std::string TMainForm1::StatusText() const {
    const HWND statusBar = StatusBar1();
    const std::size_t length = LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<wchar_t>::length(text.c_str()));
    return ToCp932(text);
}

void TMainForm1::ShowHintAt(POINT screenPoint) {
    const HWND statusBar = StatusBar1();
    if (!statusBar) return;
    if (hintCheck_) hintCheck_();
    const std::string hint = HintAt(screenPoint);
    if (hint != StatusText()) {
        SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(FromCp932(hint).c_str()));
    }
}

}  // namespace kezurin
