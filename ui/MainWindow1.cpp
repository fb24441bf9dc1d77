#include "MainWindow1.hpp"
#include "centring.hpp"
#include "info_page.hpp"
#include "message_box.hpp"
#include "removal_run.hpp"
#include "system_code_page.hpp"
#include "window_class.hpp"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace kezurin {

TMainForm1* MainForm1 = nullptr;

namespace {

constexpr char kFormClass[] = "TMainForm1";
constexpr char kControlClass[] = "TKezurinControl";
constexpr char kFontFace[] = "ＭＳ Ｐゴシック";

// The window itself: caption, outer size, designed client size, font and resize handler.
struct FormRow {
    const char* caption;
    Size outer;
    Size designClient;
    int fontHeight;
    const char* onResize;
};

constexpr FormRow kForm{"ケズリン", {1024, 600}, {1008, 562}, 12, "FormResize"};

constexpr unsigned kTopLeft = kAnchorLeft | kAnchorTop;
constexpr unsigned kTopRight = kAnchorRight | kAnchorTop;
constexpr COLORREF kOrange = RGB(255, 128, 0);

// The control tree, parents before children, in creation order.
constexpr ControlRow kLayout[] = {
    // kind, name, parent, design box, align, anchors, font, caption, hint, enabled, tab, on
    {ControlKind::StatusBar, "StatusBar1", "", {0, 546, 1008, 16}, Align::Bottom, kTopLeft,
     {}, "", "", true, 0, ""},
    {ControlKind::Panel, "Panel0", "", {0, 0, 1008, 546}, Align::Fill, kTopLeft,
     {}, "", "", true, 1, ""},
    {ControlKind::Panel, "Panel1", "Panel0", {0, 0, 1008, 30}, Align::Top, kTopLeft,
     {}, "", "", true, 3, ""},
    {ControlKind::Label, "Label1", "Panel1", {0, 0, 38, 30}, Align::Left, kTopLeft,
     {}, " Before", "", true, 0, ""},
    {ControlKind::Label, "Label2", "Panel1", {978, 0, 30, 30}, Align::Right, kTopLeft,
     {}, "After ", "", true, 0, ""},
    {ControlKind::Panel, "Panel2", "Panel1", {384, 0, 250, 30}, Align::None, 0,
     {}, "", "", true, 1, ""},
    {ControlKind::Button, "Button2", "Panel2", {0, 8, 60, 18}, Align::None, kTopLeft,
     {11, false}, "貼り付け", "クリップボードからソースを貼り付け", true, 1, "Button2Click"},
    {ControlKind::Button, "Button1", "Panel2", {65, 4, 120, 22}, Align::None, kTopLeft,
     {12, true}, "除去開始(&R)", "コメントアウトを除去", false, 2, "Button1Click"},
    {ControlKind::Button, "Button3", "Panel2", {190, 8, 60, 18}, Align::None, kTopLeft,
     {11, false}, "コピー", "除去したソースをクリップボードにコピー", false, 3, "Button3Click"},
    {ControlKind::SpeedButton, "SpeedButton1", "Panel1", {990, 0, 18, 18}, Align::None, kTopRight,
     {12, true, kOrange}, "i", "インフォメーション", true, 0, "SpeedButton1Click"},
    {ControlKind::Memo, "Memo1", "Panel0", {0, 30, 506, 516}, Align::Left, kTopLeft,
     {}, "", "処理前ソース", true, 1, "Memo1Change"},
    {ControlKind::Splitter, "Splitter1", "Panel0", {506, 30, 4, 516}, Align::Left, kTopLeft,
     {}, "", "", true, 0, ""},
    {ControlKind::Memo, "Memo2", "Panel0", {510, 30, 498, 516}, Align::Fill, kTopLeft,
     {}, "", "処理後ソース", true, 2, ""},
};

struct HandlerBinding {
    std::string_view name;
    Handler handler;
};

constexpr HandlerBinding kHandlers[] = {
    {"Memo1Change", &TMainForm1::Memo1Change},
    {"Button1Click", &TMainForm1::Button1Click},
    {"Button2Click", &TMainForm1::Button2Click},
    {"Button3Click", &TMainForm1::Button3Click},
    {"FormResize", &TMainForm1::FormResize},
    {"SpeedButton1Click", &TMainForm1::SpeedButton1Click},
};


constexpr int kMinimumPaneWidth = 30;

// The tooltip control's own window procedure, which TooltipProc passes on to.
WNDPROC previousTooltipProc = nullptr;

HINSTANCE ThisModule() { return GetModuleHandleA(nullptr); }

// The text height of the window font on this display: 12 pixels at 96 dpi.
int DisplayTextHeight(int designHeight) {
    WindowDC screen(nullptr);
    return MulDiv(designHeight, GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
}

Font MakeFont(int height, bool bold) {
    return Font(CreateFontA(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                            SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontFace));
}

// An 8 × 8 checkerboard for the divider's drag line.
Brush MakeHatchBrush() {
    static constexpr std::array<WORD, 8> pattern{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    Bitmap bits(CreateBitmap(8, 8, 1, 1, pattern.data()));
    return Brush(CreatePatternBrush(bits.get()));
}

Size TextExtent(HFONT font, std::string_view text) {
    WindowDC screen(nullptr);
    Selection selected(screen.get(), font);
    SIZE extent{};
    GetTextExtentPoint32A(screen.get(), text.data(), static_cast<int>(text.size()), &extent);
    return {extent.cx, extent.cy};
}

bool IsContainer(ControlKind kind) { return kind == ControlKind::Panel; }
bool IsTabStop(ControlKind kind) { return kind == ControlKind::Memo || kind == ControlKind::Button; }

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

    textHeight_ = DisplayTextHeight(kForm.fontHeight);
    font_ = MakeFont(textHeight_, false);
    hatch_ = MakeHatchBrush();
    resizeHandler_ = BindHandler(kForm.onResize);
    LoadLayout();

    CreateWindowExA(WS_EX_CONTROLPARENT, kFormClass, kForm.caption,
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, Scale(kForm.outer.width),
                    Scale(kForm.outer.height), owner_.OwnerWindow(), nullptr, ThisModule(), this);
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
    children_.reserve(std::size(kLayout));
    for (const ControlRow& row : kLayout) {
        Child child;
        child.row = &row;
        child.parent = *row.parent ? IndexOf(row.parent) : -1;
        if (*row.parent && child.parent < 0) throw std::logic_error("unknown parent");
        const Box design{Scale(row.design.left), Scale(row.design.top),
                         Scale(row.design.width), Scale(row.design.height)};
        const Size parentSize =
            child.parent < 0
                ? Size{Scale(kForm.designClient.width), Scale(kForm.designClient.height)}
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
        form = static_cast<TMainForm1*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        if (!form->window_) form->window_ = window;
    } else {
        form = reinterpret_cast<TMainForm1*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!form) return DefWindowProcA(window, message, wParam, lParam);
    // No exception may unwind through the system's frames: it goes to the
    // application object, which shows it once this message is done.
    try {
        return form->HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        if (form->constructing_) {
            if (!form->creationError_) form->creationError_ = std::current_exception();
        } else {
            form->owner_.HandleException(std::current_exception());
        }
        return message == WM_CREATE ? -1 : 0;
    }
}

LRESULT TMainForm1::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == window_) return HandleFormMessage(window, message, wParam, lParam);
    const int index = IndexOf(window);
    if (index < 0) return DefWindowProcA(window, message, wParam, lParam);
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
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT TMainForm1::HandleControlMessage(Child& child, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
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
    case WM_SETCURSOR:
        if (OnSetCursor(child)) return TRUE;
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(child, x);
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(child, x);
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(child, x, y);
        return 0;
    case WM_MOUSELEAVE:
        OnMouseLeave(child);
        return 0;
    case WM_CAPTURECHANGED:
        if (drag_.active) EndDrag(false);
        child.pressed = false;
        break;
    }
    return DefWindowProcA(child.window, message, wParam, lParam);
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
    const char* windowClass = kControlClass;
    DWORD style = common | WS_CLIPCHILDREN;
    DWORD extended = 0;
    switch (row.kind) {
    case ControlKind::StatusBar:
        windowClass = STATUSCLASSNAMEA;
        style = common | SBARS_SIZEGRIP | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER;
        break;
    case ControlKind::Memo:
        windowClass = WC_EDITA;
        style = common | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_WANTRETURN |
                ES_AUTOHSCROLL | ES_AUTOVSCROLL;
        extended = WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Button:
        windowClass = WC_BUTTONA;
        style = common | WS_TABSTOP | BS_PUSHBUTTON;
        break;
    case ControlKind::Panel:
        extended = WS_EX_CONTROLPARENT;
        break;
    case ControlKind::Label:
    case ControlKind::Splitter:
    case ControlKind::SpeedButton:
        break;
    }
    const Box& box = child.placement.current;
    const auto id = static_cast<INT_PTR>(&child - children_.data() + 1);
    child.window = CreateWindowExA(extended, windowClass, row.caption, style, box.left, box.top,
                                   box.width, box.height, parent, reinterpret_cast<HMENU>(id),
                                   ThisModule(), this);
    if (!child.window) throw std::runtime_error(std::string("cannot create ") + row.name);
    if (!row.enabled) EnableWindow(child.window, FALSE);
    if (row.kind == ControlKind::Memo || row.kind == ControlKind::Button) {
        SendMessageA(child.window, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(child)), FALSE);
    }
    // Lift the edit control's default limit: nothing pasted may be cut off.
    if (row.kind == ControlKind::Memo) SendMessageA(child.window, EM_SETLIMITTEXT, 0, 0);
}

void TMainForm1::CreateTooltips() {
    const HintSettings hints = owner_.Hints();
    tooltip_ = OwnedWindow(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                           WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                                           nullptr, ThisModule(), nullptr));
    if (!tooltip_.get()) return;
    for (const Child& child : children_) {
        if (!*child.row->hint) continue;
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        // No subclassing: a disabled control gets no mouse input. The window
        // relays the pointer's moves for the control under it instead.
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(child.window);
        tool.lpszText = const_cast<char*>(child.row->hint);
        SendMessageA(tooltip_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    previousTooltipProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        tooltip_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TooltipProc)));
    SendMessageA(tooltip_.get(), TTM_SETDELAYTIME, TTDT_INITIAL, static_cast<LPARAM>(hints.initialDelay));
    SendMessageA(tooltip_.get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, static_cast<LPARAM>(hints.hideDelay));
    SendMessageA(tooltip_.get(), TTM_ACTIVATE, hints.show, 0);
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
    if (drag_.active) EndDrag(false);
    owner_.MainFormDestroyed();
}

void TMainForm1::OnPaint(Child& child) {
    PaintDC paint(child.window);
    RECT rect;
    GetClientRect(child.window, &rect);
    FillRect(paint.get(), &rect, GetSysColorBrush(COLOR_BTNFACE));
    const ControlRow& row = *child.row;
    if (row.kind == ControlKind::Panel) return;
    if (row.kind == ControlKind::Splitter) {
        DrawEdge(paint.get(), &rect, BDR_RAISEDINNER, BF_LEFT | BF_RIGHT);
        return;
    }
    if (row.kind == ControlKind::SpeedButton && child.hot) {
        DrawEdge(paint.get(), &rect, child.pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    Selection font(paint.get(), FontOf(child));
    SetBkMode(paint.get(), TRANSPARENT);
    SetTextColor(paint.get(),
                 row.font.color == CLR_DEFAULT ? GetSysColor(COLOR_WINDOWTEXT) : row.font.color);
    const UINT placement = row.kind == ControlKind::Label ? DT_LEFT | DT_BOTTOM
                                                          : DT_CENTER | DT_VCENTER;
    DrawTextA(paint.get(), row.caption, -1, &rect, placement | DT_SINGLELINE | DT_NOPREFIX);
}

void TMainForm1::OnEraseBackground(const Child& child, HDC dc) {
    RECT rect;
    GetClientRect(child.window, &rect);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
}

bool TMainForm1::OnSetCursor(const Child& child) {
    const LPCTSTR shape = child.row->kind == ControlKind::Splitter      ? IDC_SIZEWE
                          : child.row->kind == ControlKind::SpeedButton ? IDC_HAND
                                                                         : nullptr;
    if (!shape) return false;
    SetCursor(LoadCursor(nullptr, shape));
    return true;
}

void TMainForm1::OnLButtonDown(Child& child, int x) {
    if (child.row->kind == ControlKind::SpeedButton) {
        child.pressed = true;
        SetCapture(child.window);
        InvalidateRect(child.window, nullptr, TRUE);
        return;
    }
    if (child.row->kind != ControlKind::Splitter) return;
    const Child& memo = children_[IndexOf("Memo1")];
    drag_ = {};
    drag_.pressX = x;
    drag_.widthAtPress = memo.placement.current.width;
    drag_.largestWidth = ClientSize(child.parent).width - Scale(kMinimumPaneWidth) -
                         child.placement.current.width;
    drag_.proposed = drag_.widthAtPress;
    SetCapture(child.window);
    drag_.active = true;
    DrawDragLine();
}

void TMainForm1::OnMouseMove(Child& child, int x) {
    if (child.row->kind == ControlKind::SpeedButton && !child.hot) {
        child.hot = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, child.window, 0};
        TrackMouseEvent(&track);
        InvalidateRect(child.window, nullptr, TRUE);
    }
    if (child.row->kind != ControlKind::Splitter || !drag_.active) return;
    DrawDragLine();  // inverting again erases the line
    const int smallest = Scale(kMinimumPaneWidth);
    int proposed = std::min(drag_.widthAtPress + x - drag_.pressX, drag_.largestWidth);
    proposed = std::max(proposed, smallest);
    drag_.proposed = proposed <= smallest ? 0 : proposed;
    DrawDragLine();
}

void TMainForm1::OnLButtonUp(Child& child, int x, int y) {
    if (child.row->kind == ControlKind::Splitter && drag_.active) {
        EndDrag(true);
        return;
    }
    if (child.row->kind != ControlKind::SpeedButton || !child.pressed) return;
    child.pressed = false;
    ReleaseCapture();
    InvalidateRect(child.window, nullptr, TRUE);
    RECT rect;
    GetClientRect(child.window, &rect);
    if (PtInRect(&rect, POINT{x, y})) Fire(child);
}

void TMainForm1::OnMouseLeave(Child& child) {
    child.hot = false;
    InvalidateRect(child.window, nullptr, TRUE);
}

void TMainForm1::DrawDragLine() {
    const Child& splitter = children_[IndexOf("Splitter1")];
    const Child& memo = children_[IndexOf("Memo1")];
    const HWND panel = children_[splitter.parent].window;
    WindowDC dc(panel, DCX_CACHE | DCX_CLIPSIBLINGS);
    Selection brush(dc.get(), hatch_.get());
    const Box& box = splitter.placement.current;
    PatBlt(dc.get(), memo.placement.current.left + drag_.proposed, box.top, box.width, box.height,
           PATINVERT);
    drag_.lineShown = !drag_.lineShown;
}

void TMainForm1::EndDrag(bool apply) {
    if (drag_.lineShown) DrawDragLine();
    drag_.active = false;
    if (GetCapture() == Splitter1()) ReleaseCapture();
    if (apply) SetControlWidth("Memo1", drag_.proposed);
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

int TMainForm1::Scale(int pixels) const { return MulDivRounded(pixels, textHeight_, kForm.fontHeight); }

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
    for (const auto& binding : kHandlers) {
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

void TMainForm1::ShowFirst(int showCommand) {
    CentreWindow(window_, DesktopSize());
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
}

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
    SendMessageA(tooltip_.get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
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
    return CallWindowProcA(previousTooltipProc, tooltip, message, wParam, lParam);
}

bool TMainForm1::PreTranslateMessage(const MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    if (message.message >= WM_MOUSEFIRST && message.message <= WM_MOUSELAST) RelayToTooltip(message);
    switch (message.message) {
    case WM_KEYDOWN:
        if (message.wParam == VK_ESCAPE && drag_.active) {
            EndDrag(false);
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
    // The length may come in characters rather than bytes: room for two bytes each.
    const std::size_t length = LOWORD(SendMessageA(statusBar, SB_GETTEXTLENGTHA, 0, 0));
    std::string text(2 * length + 2, '\0');
    SendMessageA(statusBar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

void TMainForm1::ShowHintAt(POINT screenPoint) {
    const HWND statusBar = StatusBar1();
    if (!statusBar) return;
    const std::string hint = HintAt(screenPoint);
    if (hint != StatusText()) {
        SendMessageA(statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(hint.c_str()));
    }
}

void TMainForm1::FormResize(HWND) {
    // Sized before start-up has stored the window, or after it is gone: nothing to follow.
    if (!MainForm1 || !MainForm1->Handle()) return;
    RECT outer;
    GetWindowRect(MainForm1->Handle(), &outer);
    SetControlWidth("Memo1", (outer.right - outer.left) / 2 - Scale(9));
}

// Sets a control's text without handling the change report it raises.
void TMainForm1::SetTextQuietly(HWND control, const char* text) {
    quietControl_ = control;
    SetWindowTextA(control, text);
    quietControl_ = nullptr;
}

void TMainForm1::ShowMessageBox(std::string_view text) {
    if (messageDisplay_) {
        messageDisplay_(text);
        return;
    }
    // The hidden owner window carries the application title; read without
    // allocating, as the box may report exhausted memory.
    char title[256] = {};
    const int length = GetWindowTextA(owner_.OwnerWindow(), title, sizeof title);
    ShowCentredMessageBox(window_, text, std::string_view(title, static_cast<std::size_t>(length)));
}

PaneRemovalHost TMainForm1::MakeRemovalHost() {
    return PaneRemovalHost({window_, Memo1(), Memo2()},
                           [this](std::string_view text) { ShowMessageBox(text); },
                           allocationCheck_, &lastRun_);
}

// Any edit that leaves text in the input throws the output of an earlier run
// away; deleting the whole input keeps it.
void TMainForm1::Memo1Change(HWND) {
    const bool hasText = GetWindowTextLengthA(Memo1()) != 0;
    if (hasText) SetWindowTextA(Memo2(), "");
    EnableWindow(Button1(), hasText);
    EnableWindow(Button3(), hasText);
}

void TMainForm1::Button1Click(HWND) {
    PaneRemovalHost host = MakeRemovalHost();
    RunRemoval(host, SystemCodePage());
}

// Paste: the clipboard's text replaces the input. Only the paste reports a change.
void TMainForm1::Button2Click(HWND) {
    SetTextQuietly(Memo1(), "");
    SendMessageA(Memo1(), WM_PASTE, 0, 0);
}

// Copy: the whole output, as it stands, to the clipboard.
void TMainForm1::Button3Click(HWND) {
    SendMessageA(Memo2(), EM_SETSEL, 0, -1);
    SendMessageA(Memo2(), WM_COPY, 0, 0);
}

// Opens the information page; whether the shell manages is not reported.
void TMainForm1::SpeedButton1Click(HWND) {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string address = InfoPageAddress(std::string_view(path, length), SystemCodePage());
    if (addressOpener_) {
        addressOpener_(window_, address);
        return;
    }
    ShellExecuteA(window_, "OPEN", address.c_str(), "", "", SW_SHOW);
}

}  // namespace kezurin
