#include "MainWindow1.hpp"
#include "centring.hpp"
#include "wide_text.hpp"
#include "window_class.hpp"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace kezurin {

TMainForm1* MainForm1 = nullptr;

namespace {

constexpr wchar_t kFormClass[] = L"TMainForm1";
constexpr wchar_t kControlClass[] = L"TKezurinControl";
constexpr char kFontFace[] = "ＭＳ Ｐゴシック";

constexpr int kMinimumPaneWidth = 30;

HINSTANCE ThisModule() { return GetModuleHandleW(nullptr); }

// The text height of the window font on this display: 12 pixels at 96 dpi.
int DisplayTextHeight(int designHeight) {
    WindowDC screen(nullptr);
    return MulDiv(designHeight, GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
}

Font MakeFont(int height, bool bold) {
    return Font(CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, WideText(kFontFace).c_str()));
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

}  // namespace

TMainForm1::TMainForm1(FormOwner& owner) : owner_(owner) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    RegisterWindowClass(kFormClass, WindowProc, ProgramIcon());
    RegisterWindowClass(kControlClass, WindowProc, nullptr);

    textHeight_ = DisplayTextHeight(MainFormRow().fontHeight);
    font_ = MakeFont(textHeight_, false);
    resizeHandler_ = BindHandler(MainFormRow().onResize);
    LoadLayout();

    CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, WideText(MainFormRow().caption).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, Scale(MainFormRow().outer.width),
                    Scale(MainFormRow().outer.height), owner_.OwnerWindow(), nullptr, ThisModule(), this);
    constructing_ = false;
    if (creationError_) {
        if (window_) DestroyWindow(window_);
        std::rethrow_exception(creationError_);
    }
    if (!window_) throw std::runtime_error("メインウィンドウを作成できませんでした");
}

TMainForm1::~TMainForm1() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

// Reads the layout description: scales it to this display, finds each
// control's parent and binds its handler.
void TMainForm1::LoadLayout() {
    children_.clear();
    children_.reserve(MainFormLayout().size());
    for (const ControlRow& row : MainFormLayout()) {
        Child child;
        child.row = &row;
        child.parent = *row.parent ? IndexOf(row.parent) : -1;
        if (*row.parent && child.parent < 0) throw std::logic_error("unknown parent");
        const Box design{Scale(row.design.left), Scale(row.design.top),
                         Scale(row.design.width), Scale(row.design.height)};
        const Size parentSize =
            child.parent < 0
                ? Size{Scale(MainFormRow().designClient.width), Scale(MainFormRow().designClient.height)}
                : Size{children_[child.parent].placement.design.width,
                       children_[child.parent].placement.design.height};
        child.placement = {row.align, row.anchors, design, parentSize, design};
        if (row.font.height) child.font = MakeFont(Scale(row.font.height), row.font.bold);
        if (row.kind == ControlKind::Label) {
            child.placement.current.width = TextExtent(FontOf(child), row.caption).width;
        }
        child.handler = BindHandler(row.on);
        children_.push_back(std::move(child));
    }
}

LRESULT CALLBACK TMainForm1::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TMainForm1* form;
    if (message == WM_NCCREATE) {
        form = static_cast<TMainForm1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        if (!form->window_) form->window_ = window;
    } else {
        form = reinterpret_cast<TMainForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return form->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        form->Escaped(std::current_exception());
        return message == WM_CREATE ? -1 : 0;
    }
}

LRESULT TMainForm1::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == window_) return HandleFormMessage(window, message, wParam, lParam);
    const int index = IndexOf(window);
    if (index < 0) return DefWindowProcW(window, message, wParam, lParam);
    return HandleControlMessage(children_[index], message, wParam, lParam);
}

LRESULT TMainForm1::HandleFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_NCDESTROY:
        window_ = nullptr;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT TMainForm1::HandleControlMessage(Child& child, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_PAINT:
        OnPaint(child);
        return 0;
    case WM_ERASEBKGND:
    case WM_PRINTCLIENT:
        OnEraseBackground(child, reinterpret_cast<HDC>(wParam));
        return TRUE;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(FontOf(child));
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcW(child.window, message, wParam, lParam);
}

void TMainForm1::OnCreate() {
    for (Child& child : children_) CreateChild(child);
    // Controls placed by their anchors lie over the docked ones (the "i" over "After ").
    for (const Child& child : children_) {
        if (child.placement.align == Align::None) {
            SetWindowPos(child.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    CreateTooltips();
}

void TMainForm1::CreateChild(Child& child) {
    const ControlRow& row = *child.row;
    const HWND parent = child.parent < 0 ? window_ : children_[child.parent].window;
    const DWORD common = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    const wchar_t* windowClass = kControlClass;
    DWORD style = common | WS_CLIPCHILDREN;
    DWORD extended = 0;
    switch (row.kind) {
    case ControlKind::StatusBar:
        windowClass = STATUSCLASSNAMEW;
        style = common | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
        break;
    case ControlKind::Memo:
        windowClass = WC_EDITW;
        style = common | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN |
                ES_AUTOHSCROLL | ES_AUTOVSCROLL;
        extended = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Button:
        windowClass = WC_BUTTONW;
        style = common | WS_TABSTOP | BS_PUSHBUTTON;
        break;
    case ControlKind::Panel:
        extended = WS_EX_CONTROLPARENT;
        break;
    case ControlKind::Label:
        break;
    case ControlKind::Splitter:
    case ControlKind::SpeedButton:
        CreateSmallWindow(child, parent);
        return;
    }
    const Box& box = child.placement.current;
    const auto id = static_cast<INT_PTR>(&child - children_.data() + 1);
    child.window = CreateWindowExW(extended, windowClass, WideText(row.caption).c_str(), style, box.left,
                                   box.top, box.width, box.height, parent, reinterpret_cast<HMENU>(id),
                                   ThisModule(), this);
    if (!child.window) throw std::runtime_error(std::string("cannot create ") + row.name);
    if (!row.enabled) EnableWindow(child.window, FALSE);
    if (row.kind == ControlKind::Memo || row.kind == ControlKind::Button) {
        SendMessageW(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(child)), FALSE);
    }
    // Lift the edit control's default limit: nothing pasted may be cut off.
    if (row.kind == ControlKind::Memo) SendMessageW(child.window, EM_SETLIMITTEXT, 0, 0);
}

// The divider and the flat button are window classes of their own.
void TMainForm1::CreateSmallWindow(Child& child, HWND parent) {
    const int id = static_cast<int>(&child - children_.data() + 1);
    const ErrorSink escaped = [this](std::exception_ptr error) { Escaped(std::move(error)); };
    if (child.row->kind == ControlKind::Splitter) {
        const int memo = IndexOf("Memo1");
        child.window = splitter_.Create(
            parent, child.placement.current, id, children_[memo].window,
            [this](int width) { SetControlWidth("Memo1", width); }, Scale(kMinimumPaneWidth), escaped);
    } else {
        child.window = speedButton_.Create(
            parent, child.placement.current, id,
            {child.row->caption, FontOf(child), child.row->font.color},
            [this, &child] { Fire(child); }, escaped);
    }
}

// No exception may unwind through the system's frames: it goes to the
// application object, which shows it once this message is done.
void TMainForm1::Escaped(std::exception_ptr error) {
    if (constructing_) {
        if (!creationError_) creationError_ = std::move(error);
    } else {
        owner_.HandleException(std::move(error));
    }
}

void TMainForm1::OnSize(UINT kind) {
    if (kind == SIZE_MINIMIZED) return;
    if (resizeHandler_) resizeHandler_(window_);
    LayOut();
}

void TMainForm1::OnCommand(WPARAM wParam, LPARAM lParam) {
    const int index = IndexOf(reinterpret_cast<HWND>(lParam));
    if (index < 0) return;
    const Child& child = children_[index];
    const WORD code = HIWORD(wParam);
    if ((child.row->kind == ControlKind::Button && code == BN_CLICKED) ||
        (child.row->kind == ControlKind::Memo && code == EN_CHANGE && child.window != quietControl_)) {
        Fire(child);
    }
}

void TMainForm1::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window_, focus)) lastFocus_ = focus;
        return;
    }
    if (HIWORD(wParam)) return;  // minimised
    HWND target = lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : NextTabStop(nullptr, false);
    if (target && IsWindowEnabled(target)) SetFocus(target);
}

void TMainForm1::OnDestroy() {
    splitter_.CancelDrag();
    owner_.MainFormDestroyed();
}

void TMainForm1::OnPaint(Child& child) {
    PaintDC paint(child.window);
    RECT rect;
    GetClientRect(child.window, &rect);
    FillRect(paint.get(), &rect, GetSysColorBrush(COLOR_BTNFACE));
    // A label's text sits at its bottom; a panel shows nothing but its face.
    if (child.row->kind != ControlKind::Label) return;
    Selection font(paint.get(), FontOf(child));
    SetBkMode(paint.get(), TRANSPARENT);
    SetTextColor(paint.get(), GetSysColor(COLOR_WINDOWTEXT));
    DrawTextW(paint.get(), WideText(child.row->caption).c_str(), -1, &rect,
              DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX);
}

void TMainForm1::OnEraseBackground(const Child& child, HDC dc) {
    RECT rect;
    GetClientRect(child.window, &rect);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
}

void TMainForm1::LayOut() { LayOutChildrenOf(-1); }

void TMainForm1::LayOutChildrenOf(int parent) {
    std::vector<int> members;
    std::vector<Placement> placements;
    for (int i = 0; i < static_cast<int>(children_.size()); ++i) {
        if (children_[i].parent != parent) continue;
        members.push_back(i);
        placements.push_back(children_[i].placement);
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

void TMainForm1::SetControlWidth(std::string_view name, int width) {
    Child& child = children_[IndexOf(name)];
    child.placement.current.width = width;
    LayOutChildrenOf(child.parent);
}

Size TMainForm1::ClientSize(int index) const {
    if (index >= 0) return {children_[index].placement.current.width, children_[index].placement.current.height};
    RECT rect{};
    GetClientRect(window_, &rect);
    return {rect.right, rect.bottom};
}

int TMainForm1::Scale(int pixels) const { return MulDivRounded(pixels, textHeight_, MainFormRow().fontHeight); }

int TMainForm1::IndexOf(std::string_view name) const {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (children_[i].row->name == name) return static_cast<int>(i);
    }
    return -1;
}

int TMainForm1::IndexOf(HWND window) const {
    if (!window) return -1;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (children_[i].window == window) return static_cast<int>(i);
    }
    return -1;
}

HWND TMainForm1::Control(std::string_view name) const {
    const int index = IndexOf(name);
    if (index < 0) throw std::out_of_range("no control " + std::string(name));
    return children_[index].window;
}

EventHandler TMainForm1::BindHandler(std::string_view name) {
    if (name.empty()) return {};
    for (const auto& binding : MainFormHandlers()) {
        if (binding.name == name) {
            return [this, member = binding.handler](HWND sender) { (this->*member)(sender); };
        }
    }
    throw std::logic_error("unknown handler " + std::string(name));
}

void TMainForm1::Bind(std::string_view controlName, EventHandler handler) {
    if (controlName.empty()) {
        resizeHandler_ = std::move(handler);
    } else {
        const int index = IndexOf(controlName);
        if (index < 0) throw std::out_of_range("no control " + std::string(controlName));
        children_[index].handler = std::move(handler);
    }
}

HFONT TMainForm1::FontOf(const Child& child) const {
    return child.font ? child.font.get() : font_.get();
}

void TMainForm1::Fire(const Child& child) {
    if (child.handler) child.handler(child.window);
}

// Centred on the desktop; a window that a high pixel density made larger than
// the work area of its monitor is shrunk to it (the resize rule follows) and
// centred there.
void TMainForm1::ShowFirst(int showCommand) {
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

void TMainForm1::FormResize(HWND) {
    // Sized before start-up has stored the window, or after it is gone: nothing to follow.
    if (!MainForm1 || !MainForm1->Handle()) return;
    RECT outer;
    GetWindowRect(MainForm1->Handle(), &outer);
    SetControlWidth("Memo1", (outer.right - outer.left) / 2 - Scale(9));
}

}  // namespace kezurin
