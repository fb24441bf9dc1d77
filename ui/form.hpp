#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base_window.hpp"
#include "form_layout.hpp"
#include "form_owner.hpp"
#include "panel.hpp"
#include "speed_button.hpp"
#include "splitter.hpp"
#include "win_handles.hpp"

namespace kezurin {

// What runs when a control raises its event; receives the control.
using EventHandler = std::function<void(HWND sender)>;

// The form engine: builds a window from its layout description (any table of
// ControlRow), creates and lays out its controls, routes their events to the
// handlers the layout names, and owns the Tab order, the access keys, the
// tooltips and the status-bar hints. A form class derives from it and adds
// its layout and its handlers.
class TForm : public BaseWindow<TForm> {
public:
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    HWND Handle() const { return window_; }
    // A control's window, by its identity.
    HWND Control(ControlId id) const { return children_.at(static_cast<std::size_t>(id)).window; }

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
    // Makes the idle work's hint lookup call `check` first (tests fail it).
    void SetHintCheck(std::function<void()> check) { hintCheck_ = std::move(check); }

    // The controls that Tab visits, in order (disabled ones included).
    std::vector<HWND> TabOrder() const;

    // Binds another handler to a control's event (click, change), or to the
    // window's resize event for kFormItself.
    void Bind(ControlId control, EventHandler handler);

protected:
    // The handler of each name the layout gives; empty for a name it does not know.
    using HandlerLookup = std::function<EventHandler(std::string_view name)>;

    TForm(FormOwner& owner, FormLayout layout) : owner_(owner), layout_(layout) {}
    ~TForm() { Destroy(); }

    // Creates the window and its controls and binds their handlers. A form
    // class calls it from its constructor, once its own members exist.
    void Create(const HandlerLookup& handlers);
    void Destroy();

    FormOwner& Owner() const { return owner_; }
    // A size of the layout (96 dpi) on this display.
    int Scale(int pixels) const;
    // Gives a docked control another width and lays out its siblings again.
    void SetControlWidth(ControlId id, int width);
    // Sets a control's text without handling the change report it raises.
    void SetTextQuietly(HWND control, const wchar_t* text);

private:
    friend class BaseWindow<TForm>;

    struct Child {
        const ControlRow* row = nullptr;
        Placement placement;
        HWND window = nullptr;
        Font font;  // null: the window's font
        EventHandler handler;
        // The window objects of the program's own control classes.
        std::unique_ptr<TPanel> panel;
        std::unique_ptr<TSplitter> splitter;
        std::unique_ptr<TSpeedButton> speedButton;
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void LoadLayout(const HandlerLookup& handlers);
    void OnCreate();
    void OnSize(UINT kind);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnActivate(WPARAM wParam);

    void CreateChild(Child& child);
    void CreateSystemControl(Child& child, HWND parent);
    void CreateOwnControl(Child& child, HWND parent);
    void Escaped(std::exception_ptr error);
    void LayOutChildrenOf(ControlId parent);
    Size ClientSize(ControlId id) const;
    std::optional<ControlId> IdOf(HWND window) const;
    HFONT FontOf(const Child& child) const;
    void Fire(const Child& child);

    // Keyboard (form_keyboard.cpp).
    HWND NextTabStop(HWND from, bool backwards) const;
    bool PressAccessKey(char key);
    bool CancelDividerDrag();

    // Hints (form_hints.cpp).
    void CreateTooltips();
    void RelayToTooltip(const MSG& message);
    static LRESULT CALLBACK TooltipProc(HWND tooltip, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR subclass, DWORD_PTR form);
    std::optional<ControlId> ChildAt(POINT screenPoint) const;
    HWND ControlAt(POINT screenPoint) const;
    HWND StatusBar() const { return statusBar_ ? Control(*statusBar_) : nullptr; }

    FormOwner& owner_;
    FormLayout layout_;
    std::vector<Child> children_;
    std::optional<ControlId> statusBar_;  // the one that shows the hints
    int textHeight_ = 12;                 // the window font's character height on this display
    Font font_;
    OwnedWindow tooltip_;
    EventHandler resizeHandler_;
    bool constructing_ = true;
    std::exception_ptr creationError_;
    HWND lastFocus_ = nullptr;
    HWND quietControl_ = nullptr;  // its change reports are not handled
    std::function<void()> hintCheck_;
};

// How a form class hands its handlers to the engine: each name of
// `bindings` calls that member of `form`.
template <class T, std::size_t N>
auto HandlersOf(T& form, const HandlerBinding<T, HWND> (&bindings)[N]) {
    return [&form, &bindings](std::string_view name) -> EventHandler {
        for (const auto& binding : bindings) {
            if (binding.name == name) return [&form, member = binding.handler](HWND sender) { (form.*member)(sender); };
        }
        return {};
    };
}

}  // namespace kezurin
