#include "form.hpp"
#include "centring.hpp"
#include "wide_text.hpp"
#include "window_class.hpp"

#include <stdexcept>

namespace kezurin {
namespace {

// The narrowest a divider leaves either pane (a narrower left pane shuts).
constexpr int kMinimumPaneWidth = 30;

// The text height of the window font on this display: 12 pixels at 96 dpi.
int DisplayTextHeight(int designHeight) {
    WindowDC screen(nullptr);
    return MulDiv(designHeight, GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
}

Font MakeFont(const char* face, int height, bool bold) {
    return Font(CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, WideText(face).c_str()));
}

Size TextExtent(HFONT font, std::string_view text) {
    WindowDC screen(nullptr);
    Selection selected(screen.get(), font);
    SIZE extent{};
    const std::wstring wide = FromCp932(text);
    GetTextExtentPoint32W(screen.get(), wide.data(), static_cast<int>(wide.size()), &extent);
    return {extent.cx, extent.cy};
}

bool SameBox(HWND window, const Box& box) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect.left == box.left && rect.top == box.top && rect.right - rect.left == box.width &&
           rect.bottom - rect.top == box.height;
}

EventHandler Bound(const std::function<EventHandler(std::string_view)>& handlers, std::string_view name) {
    if (name.empty()) return {};
    EventHandler handler = handlers(name);
    if (!handler) throw std::logic_error("unknown handler " + std::string(name));
    return handler;
}

}  // namespace

void TForm::Create(const HandlerLookup& handlers) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    const FormRow& form = layout_.form;
    textHeight_ = DisplayTextHeight(form.fontHeight);
    font_ = MakeFont(form.fontFace, textHeight_, false);
    resizeHandler_ = Bound(handlers, form.onResize);
    LoadLayout(handlers);

    const WideText className(form.className);
    const WideText caption(form.caption);
    BaseWindow::Create({.className = className.c_str(),
                        .style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                        .extendedStyle = WS_EX_CONTROLPARENT,
                        .caption = caption.c_str(),
                        .box = {0, 0, Scale(form.outer.width), Scale(form.outer.height)},
                        .parent = owner_.OwnerWindow(),
                        .icon = ProgramIcon()},
                       [this](std::exception_ptr error) { Escaped(std::move(error)); });
    constructing_ = false;
    if (creationError_) {
        Destroy();
        std::rethrow_exception(creationError_);
    }
    if (!window_) throw std::runtime_error("メインウィンドウを作成できませんでした");
}

void TForm::Destroy() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

// Reads the layout description: scales it to this display and binds each
// control's handler.
void TForm::LoadLayout(const HandlerLookup& handlers) {
    if (!IsWellFormed(layout_.controls)) throw std::logic_error("the layout's rows are out of order");
    children_.clear();
    children_.reserve(layout_.controls.size());
    for (const ControlRow& row : layout_.controls) {
        Child child;
        child.row = &row;
        const Box design{Scale(row.design.left), Scale(row.design.top), Scale(row.design.width),
                         Scale(row.design.height)};
        const Size designClient = layout_.form.designClient;
        const Size parentSize = row.parent == kFormItself
                                    ? Size{Scale(designClient.width), Scale(designClient.height)}
                                    : Size{children_[row.parent].placement.design.width,
                                           children_[row.parent].placement.design.height};
        child.placement = {row.align, row.anchors, design, parentSize, design};
        if (row.font.height) child.font = MakeFont(layout_.form.fontFace, Scale(row.font.height), row.font.bold);
        if (row.kind == ControlKind::Label) {
            child.placement.current.width = TextExtent(FontOf(child), row.caption).width;
        }
        if (row.kind == ControlKind::StatusBar && !statusBar_) statusBar_ = row.id;
        child.handler = Bound(handlers, row.on);
        children_.push_back(std::move(child));
    }
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam));
        return 0;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_MINIMIZE) {
            owner_.Minimize();
            return 0;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    }
    return Default(message, wParam, lParam);
}

void TForm::OnCreate() {
    for (Child& child : children_) CreateChild(child);
    // Controls placed by their anchors lie over the docked ones (the "i" over "After ").
    for (const Child& child : children_) {
        if (child.placement.align == Align::None) {
            SetWindowPos(child.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    CreateTooltips();
}

void TForm::CreateChild(Child& child) {
    const ControlRow& row = *child.row;
    const HWND parent = row.parent == kFormItself ? window_ : children_[row.parent].window;
    switch (row.kind) {
    case ControlKind::StatusBar:
    case ControlKind::Memo:
    case ControlKind::Button:
        CreateSystemControl(child, parent);
        break;
    case ControlKind::Panel:
    case ControlKind::Label:
    case ControlKind::Splitter:
    case ControlKind::SpeedButton:
        CreateOwnControl(child, parent);
        break;
    }
    if (!child.window) throw std::runtime_error(std::string("cannot create ") + row.name);
    if (!row.enabled) EnableWindow(child.window, FALSE);
}

// The status bar, the panes and the push buttons are the system's controls.
void TForm::CreateSystemControl(Child& child, HWND parent) {
    const ControlRow& row = *child.row;
    const DWORD common = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const wchar_t* windowClass = WC_BUTTONW;
    DWORD style = common | WS_TABSTOP | BS_PUSHBUTTON;
    DWORD extended = 0;
    if (row.kind == ControlKind::StatusBar) {
        windowClass = STATUSCLASSNAMEW;
        style = common | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    } else if (row.kind == ControlKind::Memo) {
        windowClass = WC_EDITW;
        style = common | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN |
                ES_AUTOHSCROLL | ES_AUTOVSCROLL;
        extended = WS_EX_CLIENTEDGE;
    }
    const Box& box = child.placement.current;
    child.window = CreateWindowExW(extended, windowClass, WideText(row.caption).c_str(), style, box.left,
                                   box.top, box.width, box.height, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id + 1)),
                                   GetModuleHandleW(nullptr), nullptr);
    if (!child.window || row.kind == ControlKind::StatusBar) return;
    SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(child)), FALSE);
    // Lift the edit control's default limit: nothing pasted may be cut off.
    if (row.kind == ControlKind::Memo) SendMessageW(child.window, EM_SETLIMITTEXT, 0, 0);
}

// Panels, labels, the divider and the flat button are window classes of the program.
void TForm::CreateOwnControl(Child& child, HWND parent) {
    const ControlRow& row = *child.row;
    const Box& box = child.placement.current;
    const int id = row.id + 1;
    ErrorSink escaped = [this](std::exception_ptr error) { Escaped(std::move(error)); };
    if (row.kind == ControlKind::Splitter) {
        const std::optional<ControlId> pane = PaneOfDivider(layout_.controls, row.id);
        if (!pane) throw std::logic_error(std::string("nothing for ") + row.name + " to resize");
        child.splitter = std::make_unique<TSplitter>();
        child.window = child.splitter->Create(
            parent, box, id, Control(*pane), [this, pane = *pane](int width) { SetControlWidth(pane, width); },
            Scale(kMinimumPaneWidth), std::move(escaped));
    } else if (row.kind == ControlKind::SpeedButton) {
        child.speedButton = std::make_unique<TSpeedButton>();
        child.window = child.speedButton->Create(parent, box, id, {row.caption, FontOf(child), row.font.color},
                                                 [this, &child] { Fire(child); }, std::move(escaped));
    } else {
        child.panel = std::make_unique<TPanel>();
        child.window = child.panel->Create(
            parent, box, id, {row.caption, FontOf(child), row.kind == ControlKind::Label},
            [this](WPARAM wParam, LPARAM lParam) { OnCommand(wParam, lParam); }, std::move(escaped));
    }
}

// No exception may unwind through the system's frames: it goes to the
// application object, which shows it once this message is done.
void TForm::Escaped(std::exception_ptr error) {
    if (constructing_) {
        if (!creationError_) creationError_ = std::move(error);
    } else {
        owner_.HandleException(std::move(error));
    }
}

void TForm::OnSize(UINT kind) {
    if (kind == SIZE_MINIMIZED) return;
    if (resizeHandler_) resizeHandler_(window_);
    LayOutChildrenOf(kFormItself);
}

void TForm::OnCommand(WPARAM wParam, LPARAM lParam) {
    const std::optional<ControlId> id = IdOf(reinterpret_cast<HWND>(lParam));
    if (!id) return;
    const Child& child = children_[*id];
    const WORD code = HIWORD(wParam);
    if ((child.row->kind == ControlKind::Button && code == BN_CLICKED) ||
        (child.row->kind == ControlKind::Memo && code == EN_CHANGE && child.window != quietControl_)) {
        Fire(child);
    }
}

void TForm::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam)) return;  // minimised
    HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : NextTabStop(nullptr, false);
    if (target && IsWindowEnabled(target)) SetFocus(target);
}

void TForm::OnDestroy() {
    CancelDividerDrag();
    owner_.MainFormDestroyed();
}

void TForm::LayOutChildrenOf(ControlId parent) {
    std::vector<ControlId> members;
    std::vector<Placement> placements;
    for (const Child& child : children_) {
        if (child.row->parent != parent) continue;
        members.push_back(child.row->id);
        placements.push_back(child.placement);
    }
    const std::vector<Box> boxes = DockChildren(ClientSize(parent), placements);
    for (std::size_t n = 0; n < members.size(); ++n) {
        Child& child = children_[members[n]];
        child.placement.current = boxes[n];
        if (child.window && !SameBox(child.window, boxes[n])) {
            SetWindowPos(child.window, nullptr, boxes[n].left, boxes[n].top, boxes[n].width,
                         boxes[n].height, SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (IsContainer(child.row->kind)) LayOutChildrenOf(members[n]);
    }
}

void TForm::SetControlWidth(ControlId id, int width) {
    Child& child = children_.at(static_cast<std::size_t>(id));
    child.placement.current.width = width;
    LayOutChildrenOf(child.row->parent);
}

Size TForm::ClientSize(ControlId id) const {
    if (id != kFormItself) return {children_[id].placement.current.width, children_[id].placement.current.height};
    RECT rect{};
    GetClientRect(window_, &rect);
    return {rect.right, rect.bottom};
}

int TForm::Scale(int pixels) const { return MulDivRounded(pixels, textHeight_, layout_.form.fontHeight); }

// A control's identifier is its identity plus one (0 is no identifier).
std::optional<ControlId> TForm::IdOf(HWND window) const {
    if (!window) return std::nullopt;
    const ControlId id = GetDlgCtrlID(window) - 1;
    if (id < 0 || id >= static_cast<ControlId>(children_.size()) || children_[id].window != window) {
        return std::nullopt;
    }
    return id;
}

void TForm::Bind(ControlId control, EventHandler handler) {
    if (control == kFormItself) {
        resizeHandler_ = std::move(handler);
    } else {
        children_.at(static_cast<std::size_t>(control)).handler = std::move(handler);
    }
}

HFONT TForm::FontOf(const Child& child) const { return child.font ? child.font.get() : font_.get(); }

void TForm::Fire(const Child& child) {
    if (child.handler) child.handler(child.window);
}

void TForm::SetTextQuietly(HWND control, const wchar_t* text) {
    quietControl_ = control;
    SetWindowTextW(control, text);
    quietControl_ = nullptr;
}

// Centred on the desktop; a window that a high pixel density made larger than
// the work area of its monitor is shrunk to it (the resize rule follows) and
// centred there.
void TForm::ShowFirst(int showCommand) {
    RECT outer;
    GetWindowRect(window_, &outer);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const Box box = FirstWindowBox({outer.right - outer.left, outer.bottom - outer.top}, DesktopSize(),
                                   {work.left, work.top, work.right - work.left, work.bottom - work.top});
    SetWindowPos(window_, nullptr, box.left, box.top, box.width, box.height, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
}

}  // namespace kezurin
