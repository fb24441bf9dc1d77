#pragma once

#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string_view>

#include "layout.hpp"

namespace kezurin {

class TMainForm1;
using Handler = void (TMainForm1::*)(HWND sender);

enum class ControlKind { StatusBar, Panel, Label, Splitter, SpeedButton, Button, Memo };

inline bool IsContainer(ControlKind kind) { return kind == ControlKind::Panel; }
inline bool IsTabStop(ControlKind kind) { return kind == ControlKind::Memo || kind == ControlKind::Button; }

// A control's font: character height in pixels at 96 dpi (0 = the window's font).
struct FontStyle {
    int height = 0;
    bool bold = false;
    COLORREF color = CLR_DEFAULT;
};

// One row of the window's layout description.
struct ControlRow {
    ControlKind kind = ControlKind::Panel;
    const char* name = "";
    const char* parent = "";  // "" for the window itself
    Box design{};             // at 96 dpi, in the parent's designed client area
    Align align = Align::None;
    unsigned anchors = kAnchorLeft | kAnchorTop;
    FontStyle font{};
    const char* caption = "";
    const char* hint = "";
    bool enabled = true;
    int tabOrder = 0;     // position among the siblings; 0 = not in the tab order
    const char* on = "";  // handler bound to the control's event (click, change), or ""
};

// The window itself: caption, outer size, designed client size, font and resize handler.
struct FormRow {
    const char* caption;
    Size outer;
    Size designClient;
    int fontHeight;
    const char* onResize;
};

struct HandlerBinding {
    std::string_view name;
    Handler handler;
};

// The main window's layout description: the window, its control tree
// (parents before children, in creation order) and its handlers by name.
const FormRow& MainFormRow();
std::span<const ControlRow> MainFormLayout();
std::span<const HandlerBinding> MainFormHandlers();

}  // namespace kezurin
