// Keyboard navigation of the main window: Tab order, access keys, Escape
// during a divider drag.
#include "MainWindow1.hpp"

#include <algorithm>

namespace kezurin {

std::vector<HWND> TMainForm1::TabOrder() const {
    std::vector<HWND> order;
    auto visit = [&](auto& self, int parent) -> void {
        std::vector<int> members;
        for (int i = 0; i < static_cast<int>(children_.size()); ++i) {
            if (children_[i].parent == parent && children_[i].row->tabOrder > 0) members.push_back(i);
        }
        std::stable_sort(members.begin(), members.end(), [&](int a, int b) {
            return children_[a].row->tabOrder < children_[b].row->tabOrder;
        });
        for (int i : members) {
            if (IsTabStop(children_[i].row->kind)) order.push_back(children_[i].window);
            if (IsContainer(children_[i].row->kind)) self(self, i);
        }
    };
    visit(visit, -1);
    return order;
}

HWND TMainForm1::NextTabStop(HWND from, bool backwards) const {
    const std::vector<HWND> order = TabOrder();
    const int count = static_cast<int>(order.size());
    const auto found = std::find(order.begin(), order.end(), from);
    int position = found == order.end() ? (backwards ? count : -1)
                                        : static_cast<int>(found - order.begin());
    for (int step = 0; step < count; ++step) {
        position = (position + (backwards ? count - 1 : 1)) % count;
        const HWND candidate = order[position];
        if (IsWindowEnabled(candidate) && IsWindowVisible(candidate)) return candidate;
    }
    return nullptr;
}

bool TMainForm1::PressAccessKey(char key) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (const Child& child : children_) {
        if (child.row->kind != ControlKind::Button) continue;
        const std::string_view caption = child.row->caption;
        const auto amp = caption.find('&');
        if (amp == std::string_view::npos || amp + 1 >= caption.size()) continue;
        if (upper(caption[amp + 1]) != upper(key)) continue;
        if (!IsWindowEnabled(child.window) || !IsWindowVisible(child.window)) return false;
        Fire(child);
        return true;
    }
    return false;
}

bool TMainForm1::PreTranslateMessage(const MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) RelayToTooltip(message);
    switch (message.message) {
    case WM_KEYDOWN:
        if (message.wParam == VK_ESCAPE && splitter_.Dragging()) {
            splitter_.CancelDrag();
            return true;
        }
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
