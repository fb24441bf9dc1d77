#pragma once

#include <windows.h>

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "MainWindow1.hpp"
#include "base_window.hpp"
#include "kezurin/code_page.hpp"

namespace kezurin {

// The program's error objects: each carries a message text.
class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text the application error box shows for a message: a "." is appended
// when the last character (both bytes of a double-byte one), compared byte by
// byte without sign, sorts after ".".
std::string ErrorBoxText(std::string_view message, const CodePage& codePage);
// The same for the program's messages, which are code-page-932 texts like
// every interface text, whatever the system's code page: the rule reads them
// as Shift-JIS, and the box shows them converted from code page 932.
std::string ErrorBoxText(std::string_view message);

// The application object: title, hidden owner window, main window, hint
// settings and the event loop.
class TApplication final : public FormOwner, public BaseWindow<TApplication> {
public:
    // Shows an error box text; by default a modal message box, tests record it instead.
    using ErrorBox = std::function<void(const std::string& text)>;

    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // Creates the hidden owner window that carries the title and the taskbar entry.
    void Initialize();
    void SetTitle(std::string_view title);
    const std::string& Title() const { return title_; }

    // Allocates the main window, stores it in MainForm1, then constructs it.
    TMainForm1& CreateMainForm();
    void DestroyMainForm();
    TMainForm1* MainForm() const { return mainForm_.get(); }

    // Shows the main window as the show command asks and runs the event loop
    // until the main window is closed.
    void Run(int showCommand);
    // Handles one waiting message; false when the queue is empty.
    bool HandleMessage();
    // Handles every waiting message, then does the idle work.
    void ProcessMessages();
    void Idle();
    bool Terminated() const { return terminated_; }

    // Shows an error in the application error box.
    void ShowException(const std::exception& error);
    // Shows and forgets an error that a handler left behind.
    void ShowPendingException();
    void SetErrorBox(ErrorBox box) { errorBox_ = std::move(box); }

    HWND OwnerWindow() const override { return window_; }
    HintSettings Hints() const override { return hints_; }
    void HandleException(std::exception_ptr error) noexcept override;
    void MainFormDestroyed() override { terminated_ = true; }
    void Minimize() override;

private:
    friend class BaseWindow<TApplication>;
    // The hidden owner window's messages.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowErrorText(const std::string& text);
    void Dispatch(MSG& message);

    std::string title_;
    std::unique_ptr<TMainForm1> mainForm_;
    HintSettings hints_;
    bool terminated_ = false;
    std::deque<std::exception_ptr> pending_;
    ErrorBox errorBox_;
};

// The one application object of the process.
extern TApplication Application;

// The show command the program was started with (SW_SHOWDEFAULT when none was given).
int StartupShowCommand();

// The whole run of the program: start-up, event loop, error boxes. Returns
// the exit status, 0 on every path. `createMainForm` is the creation step.
int RunProgram(TApplication& application, const std::function<void()>& createMainForm);

}  // namespace kezurin
