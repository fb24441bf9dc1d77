#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "PaneRemovalHost.hpp"
#include "form_owner.hpp"
#include "layout.hpp"
#include "main_form_layout.hpp"
#include "speed_button.hpp"
#include "splitter.hpp"
#include "win_handles.hpp"

namespace kezurin {

// What runs when a control raises its event; receives the control.
using EventHandler = std::function<void(HWND sender)>;
// Asks the shell to open a web address, UTF-8 (tests record it instead).
using AddressOpener = std::function<void(HWND owner, const std::string& address)>;

// The main window: two panes with a divider, the top bar with the command
// buttons and the information button, and the status bar.
class TMainForm1 {
public:
    explicit TMainForm1(FormOwner& owner);
    ~TMainForm1();
    TMainForm1(const TMainForm1&) = delete;
    TMainForm1& operator=(const TMainForm1&) = delete;

    HWND Handle() const { return window_; }

    HWND StatusBar1() const { return Control("StatusBar1"); }
    HWND Panel0() const { return Control("Panel0"); }
    HWND Splitter1() const { return Control("Splitter1"); }
    HWND Memo1() const { return Control("Memo1"); }
    HWND Memo2() const { return Control("Memo2"); }
    HWND Panel1() const { return Control("Panel1"); }
    HWND Label1() const { return Control("Label1"); }
    HWND Label2() const { return Control("Label2"); }
    HWND Panel2() const { return Control("Panel2"); }
    HWND Button2() const { return Control("Button2"); }
    HWND Button1() const { return Control("Button1"); }
    HWND Button3() const { return Control("Button3"); }
    HWND SpeedButton1() const { return Control("SpeedButton1"); }
    // The control of that name; throws for a name the layout does not have.
    HWND Control(std::string_view name) const;

    // Shows the window for the first time, centred on the desktop.
    void ShowFirst(int showCommand);

    // Keyboard handling of the window before a message is dispatched: Tab and
    // Shift+Tab, access keys, Escape during a divider drag. True when consumed.
    bool PreTranslateMessage(const MSG& message);

    // The hint of the control under a screen point (disabled controls
    // included), else of its nearest enclosing control that has one, else "".
    std::string HintAt(POINT screenPoint) const;
    // Writes the hint of the control under the point into the status bar when
    // it differs from what the status bar shows.
    void ShowHintAt(POINT screenPoint);
    // The text the status bar shows, in code page 932.
    std::string StatusText() const;

    // The controls that Tab visits, in order (disabled ones included).
    std::vector<HWND> TabOrder() const;

    // Binds another handler to a control's event (click, change), or to the
    // window's resize event when the name is empty.
    void Bind(std::string_view controlName, EventHandler handler);

    // How the removal run's message and the information page reach the user;
    // by default a centred message box and the shell.
    void SetMessageDisplay(MessageDisplay display) { messageDisplay_ = std::move(display); }
    void SetAddressOpener(AddressOpener opener) { addressOpener_ = std::move(opener); }
    // The panes and caption a removal run works on, and how its message shows.
    PaneRemovalHost MakeRemovalHost();
    // Makes the removal runs' hosts call `check` before each allocation (tests fail them).
    void SetRunAllocationCheck(AllocationCheck check) { allocationCheck_ = std::move(check); }
    // Makes the idle work's hint lookup call `check` first (tests fail it).
    void SetHintCheck(AllocationCheck check) { hintCheck_ = std::move(check); }
    // How long each stage of the last removal run took.
    const RunStages& LastRunStages() const { return lastRun_; }

    // Event handlers, bound by name from the layout description.
    void Memo1Change(HWND sender);
    void Button1Click(HWND sender);
    void Button2Click(HWND sender);
    void Button3Click(HWND sender);
    void FormResize(HWND sender);
    void SpeedButton1Click(HWND sender);

private:
    struct Child {
        const ControlRow* row = nullptr;
        int parent = -1;  // index into children_, -1 for the window
        Placement placement;
        HWND window = nullptr;
        Font font;  // null: the window's font
        EventHandler handler;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleFormMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleControlMessage(Child& child, UINT message, WPARAM wParam, LPARAM lParam);

    void LoadLayout();
    void OnCreate();
    void OnSize(UINT kind);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnActivate(WPARAM wParam);
    void OnPaint(Child& child);
    void OnEraseBackground(const Child& child, HDC dc);

    void CreateChild(Child& child);
    void CreateSmallWindow(Child& child, HWND parent);
    void Escaped(std::exception_ptr error);
    void CreateTooltips();
    void LayOut();
    void LayOutChildrenOf(int parent);
    void SetControlWidth(std::string_view name, int width);
    Size ClientSize(int index) const;
    int Scale(int pixels) const;
    int IndexOf(std::string_view name) const;
    int IndexOf(HWND window) const;
    const Child* ChildAt(POINT screenPoint) const;
    HWND ControlAt(POINT screenPoint) const;
    void RelayToTooltip(const MSG& message);
    static LRESULT CALLBACK TooltipProc(HWND tooltip, UINT message, WPARAM wParam, LPARAM lParam);
    HFONT FontOf(const Child& child) const;
    void Fire(const Child& child);
    void SetTextQuietly(HWND control, const wchar_t* text);
    void ShowMessageBox(std::string_view text);
    EventHandler BindHandler(std::string_view name);
    HWND NextTabStop(HWND from, bool backwards) const;
    bool PressAccessKey(char key);

    FormOwner& owner_;
    HWND window_ = nullptr;
    std::vector<Child> children_;
    int textHeight_ = 12;  // the window font's character height on this display
    Font font_;
    TSplitter splitter_;
    TSpeedButton speedButton_;
    OwnedWindow tooltip_;
    EventHandler resizeHandler_;
    bool constructing_ = true;
    std::exception_ptr creationError_;
    HWND lastFocus_ = nullptr;
    HWND quietControl_ = nullptr;  // its change reports are not handled
    MessageDisplay messageDisplay_;
    AllocationCheck allocationCheck_;
    AllocationCheck hintCheck_;
    RunStages lastRun_;
    AddressOpener addressOpener_;
};

// The one main window, set before its construction begins.
extern TMainForm1* MainForm1;

}  // namespace kezurin
