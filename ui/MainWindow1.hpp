#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "PaneRemovalHost.hpp"
#include "form.hpp"
#include "form_owner.hpp"

namespace kezurin {

// Asks the shell to open a web address, UTF-8 (tests record it instead).
using AddressOpener = std::function<void(HWND owner, const std::string& address)>;

// The main window: two panes with a divider, the top bar with the command
// buttons and the information button, and the status bar. Its layout is the
// table in MainWindow1.cpp; its behaviour is the six handlers below
// (MainWindow1_commands.cpp); the form engine (form.hpp) does the rest.
class TMainForm1 : public TForm {
public:
    // The controls by identity: each one's row in the layout. Form stands
    // for the window itself, whose event is the resize.
    struct Id {
        enum Value : ControlId {
            Form = kFormItself,
            StatusBar1,
            Panel0,
            Panel1,
            Label1,
            Label2,
            Panel2,
            Button2,
            Button1,
            Button3,
            SpeedButton1,
            Memo1,
            Splitter1,
            Memo2,
        };
    };

    explicit TMainForm1(FormOwner& owner);
    // Destroys the window while the handlers' state still lives.
    ~TMainForm1() { Destroy(); }

    HWND StatusBar1() const { return Control(Id::StatusBar1); }
    HWND Panel0() const { return Control(Id::Panel0); }
    HWND Splitter1() const { return Control(Id::Splitter1); }
    HWND Memo1() const { return Control(Id::Memo1); }
    HWND Memo2() const { return Control(Id::Memo2); }
    HWND Panel1() const { return Control(Id::Panel1); }
    HWND Label1() const { return Control(Id::Label1); }
    HWND Label2() const { return Control(Id::Label2); }
    HWND Panel2() const { return Control(Id::Panel2); }
    HWND Button2() const { return Control(Id::Button2); }
    HWND Button1() const { return Control(Id::Button1); }
    HWND Button3() const { return Control(Id::Button3); }
    HWND SpeedButton1() const { return Control(Id::SpeedButton1); }

    // How the removal run's message and the information page reach the user;
    // by default a centred message box and the shell.
    void SetMessageDisplay(MessageDisplay display) { messageDisplay_ = std::move(display); }
    void SetAddressOpener(AddressOpener opener) { addressOpener_ = std::move(opener); }
    // The panes and caption a removal run works on, and how its message shows.
    PaneRemovalHost MakeRemovalHost();
    // Makes the removal runs' hosts call `check` before each allocation (tests fail them).
    void SetRunAllocationCheck(AllocationCheck check) { allocationCheck_ = std::move(check); }
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
    void ShowMessageBox(std::string_view text);

    MessageDisplay messageDisplay_;
    AllocationCheck allocationCheck_;
    RunStages lastRun_;
    AddressOpener addressOpener_;
};

// The one main window, set before its construction begins.
extern TMainForm1* MainForm1;

}  // namespace kezurin
