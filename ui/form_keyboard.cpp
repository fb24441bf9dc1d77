// Keyboard navigation of a form: Tab order, access keys, Escape during a
// divider drag.
#include "form.hpp"

#include <algorithm>

namespace kezurin {

std::vector<HWND> TForm::TabOrder() const {
    std::vector<HWND> order;
    for (ControlId id : kezurin::TabOrder(layout_.controls)) order.push_back(Control(id));
    return order;
}

HWND TForm::NextTabStop(HWND from, bool backwards) const {
    const std::vector<HWND> order = TabOrder();
    const auto found = std::find(order.begin(), order.end(), from);
    const std::optional<std::size_t> position =
        found == order.end() ? std::nullopt
                             : std::optional<std::size_t>(static_cast<std::size_t>(found - order.begin()));
    const std::optional<std::size_t> next = NextInCycle(order.size(), position, backwards, [&](std::size_t at) {
        return IsWindowEnabled(order[at]) && IsWindowVisible(order[at]);
    });
    return next ? order[*next] : nullptr;
}

bool TForm::PressAccessKey(char key) {
    const std::optional<ControlId> owner = AccessKeyOwner(layout_.controls, key);
    if (!owner) return false;
    const Child& child = children_[*owner];
    if (!IsWindowEnabled(child.window) || !IsWindowVisible(child.window)) return false;
    Fire(child);
    return true;
}

bool TForm::CancelDividerDrag() {
    bool cancelled = false;
    for (const Child& child : children_) {
        if (!child.splitter || !child.splitter->Dragging()) continue;
        child.splitter->CancelDrag();
        cancelled = true;
    }
    return cancelled;
}

bool TForm::PreTranslateMessage(const MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) RelayToTooltip(message);
    switch (message.message) {
    case WM_KEYDOWN:
        if (message.wParam == VK_ESCAPE && CancelDividerDrag()) return true;
        if (message.wParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
            const HWND next = NextTabStop(GetFocus(), GetKeyState(VK_SHIFT) < 0);
            if (next) SetFocus(next);
            return true;
        }
        break;
    case WM_SYSCHAR:
        return PressAccessKey(static_cast<char>(message.wParam));
    }
    return false;
}

}  // namespace kezurin
