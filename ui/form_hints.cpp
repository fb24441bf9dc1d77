// Hints of a form: tooltips over the controls and the status-bar text under
// the pointer.
#include "form.hpp"
#include "wide_text.hpp"

namespace kezurin {

void TForm::CreateTooltips() {
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
    SetWindowSubclass(tooltip_.get(), TooltipProc, 0, reinterpret_cast<DWORD_PTR>(this));
    SendMessageW(tooltip_.get(), TTM_SETDELAYTIME, TTDT_INITIAL, static_cast<LPARAM>(hints.initialDelay));
    SendMessageW(tooltip_.get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, static_cast<LPARAM>(hints.hideDelay));
    SendMessageW(tooltip_.get(), TTM_ACTIVATE, hints.show, 0);
}

// The tooltip sees the pointer's moves as made over the control under the
// pointer, a disabled one too, which gets no mouse messages of its own.
void TForm::RelayToTooltip(const MSG& message) {
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

HWND TForm::ControlAt(POINT screenPoint) const {
    const std::optional<ControlId> id = ChildAt(screenPoint);
    return id ? Control(*id) : nullptr;
}

// The tooltip asks which window is under the pointer before it shows and while
// it stays: the answer includes disabled controls.
LRESULT CALLBACK TForm::TooltipProc(HWND tooltip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR formData) {
    const TForm& form = *reinterpret_cast<const TForm*>(formData);
    if (message == TTM_WINDOWFROMPOINT && form.Handle()) {
        const POINT point = *reinterpret_cast<const POINT*>(lParam);
        const HWND top = WindowFromPoint(point);
        if (top && GetAncestor(top, GA_ROOT) == form.Handle()) {
            if (const HWND control = form.ControlAt(point)) return reinterpret_cast<LRESULT>(control);
        }
        return reinterpret_cast<LRESULT>(top);
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(tooltip, TooltipProc, 0);
    return DefSubclassProc(tooltip, message, wParam, lParam);
}

std::optional<ControlId> TForm::ChildAt(POINT screenPoint) const {
    HWND window = window_;
    for (;;) {
        POINT point = screenPoint;
        ScreenToClient(window, &point);
        const HWND next = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!next || next == window) break;
        window = next;
    }
    return IdOf(window);
}

std::string TForm::HintAt(POINT screenPoint) const {
    const HWND top = WindowFromPoint(screenPoint);
    if (!window_ || !top || GetAncestor(top, GA_ROOT) != window_) return {};
    return std::string(HintOf(layout_.controls, ChildAt(screenPoint)));
}

std::string TForm::StatusText() const {
    const HWND statusBar = StatusBar();
    const std::size_t length = LOWORD(SendMessageW(statusBar, SB_GETTEXTLENGTHW, 0, 0));
    std::wstring text(length + 1, L'\0');
    SendMessageW(statusBar, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<wchar_t>::length(text.c_str()));
    return ToCp932(text);
}

void TForm::ShowHintAt(POINT screenPoint) {
    const HWND statusBar = StatusBar();
    if (!statusBar) return;
    if (hintCheck_) hintCheck_();
    const std::string hint = HintAt(screenPoint);
    if (hint != StatusText()) {
        SendMessageW(statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(FromCp932(hint).c_str()));
    }
}

}  // namespace kezurin
