#include "application.hpp"

#include <algorithm>
#include <new>
#include <vector>

#include "characters.hpp"
#include "wide_text.hpp"
#include "window_class.hpp"

namespace kezurin {

TApplication Application;

namespace {

constexpr wchar_t kOwnerClass[] = L"TApplication";

bool SortsAfter(std::string_view left, std::string_view right) {
    return std::lexicographical_compare(
        right.begin(), right.end(), left.begin(), left.end(),
        [](char a, char b) { return static_cast<unsigned char>(a) < static_cast<unsigned char>(b); });
}

// Disables the visible windows of this thread while a modal box is open and
// gives the focus back to where it was afterwards.
class ModalScope {
public:
    explicit ModalScope(HWND boxOwner) : active_(GetActiveWindow()), focus_(GetFocus()) {
        EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
        std::erase(disabled_, boxOwner);
        for (HWND window : disabled_) EnableWindow(window, FALSE);
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() {
        for (HWND window : disabled_) EnableWindow(window, TRUE);
        if (active_ && IsWindow(active_)) SetActiveWindow(active_);
        if (focus_ && IsWindow(focus_)) SetFocus(focus_);
    }

private:
    static BOOL CALLBACK Collect(HWND window, LPARAM scope) {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            reinterpret_cast<ModalScope*>(scope)->disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND active_;
    HWND focus_;
    std::vector<HWND> disabled_;
};

}  // namespace

std::string ErrorBoxText(std::string_view message, const CodePage& codePage) {
    std::string text(message);
    if (!text.empty() && SortsAfter(LastCharacter(message, codePage), ".")) text += '.';
    return text;
}

std::string ErrorBoxText(std::string_view message) { return ErrorBoxText(message, kShiftJis); }

TApplication::TApplication() = default;
// The main window first: the owner window takes the windows it owns with it.
TApplication::~TApplication() {
    mainForm_.reset();
    if (window_) DestroyWindow(window_);
}

void TApplication::Initialize() {
    if (window_) return;
    const WideText title(title_);
    // A popup of no size: invisible itself, but the taskbar entry of the program.
    Create({.className = kOwnerClass,
            .style = WS_POPUP | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
            .caption = title.c_str(),
            .box = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0},
            .icon = ProgramIcon()},
           [this](std::exception_ptr error) { HandleException(std::move(error)); });
    if (!window_) throw Exception("CreateWindowEx failed");
}

void TApplication::SetTitle(std::string_view title) {
    title_ = title;
    if (window_) SetWindowTextW(window_, WideText(title_).c_str());
}

TMainForm1& TApplication::CreateMainForm() {
    DestroyMainForm();
    terminated_ = false;
    // MainForm1 already points at the window while it is being constructed.
    auto* storage = static_cast<TMainForm1*>(::operator new(sizeof(TMainForm1)));
    MainForm1 = storage;
    try {
        new (storage) TMainForm1(*this);
    } catch (...) {
        MainForm1 = nullptr;
        ::operator delete(storage);
        throw;
    }
    mainForm_.reset(storage);
    return *storage;
}

void TApplication::DestroyMainForm() {
    mainForm_.reset();
    MainForm1 = nullptr;
}

void TApplication::Run(int showCommand) {
    if (!mainForm_) return;
    switch (showCommand) {
    case SW_SHOWMAXIMIZED:
        mainForm_->ShowFirst(SW_SHOWMAXIMIZED);
        break;
    case SW_SHOWMINNOACTIVE:
        mainForm_->ShowFirst(SW_SHOWNOACTIVATE);
        Minimize();
        break;
    default:
        mainForm_->ShowFirst(SW_SHOWNORMAL);
        break;
    }
    if (showCommand != SW_SHOWMINNOACTIVE) ShowWindow(window_, SW_SHOWNA);
    while (!terminated_) {
        if (HandleMessage()) continue;
        Idle();
        if (!terminated_) WaitMessage();
    }
}

bool TApplication::HandleMessage() {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        // An error may come from a message sent to a window directly, not through the queue.
        ShowPendingException();
        return false;
    }
    if (message.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    try {
        Dispatch(message);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(Exception(""));
    }
    return true;
}

void TApplication::Dispatch(MSG& message) {
    if (!mainForm_ || !mainForm_->PreTranslateMessage(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    ShowPendingException();
}

void TApplication::ProcessMessages() {
    while (HandleMessage()) {
    }
    Idle();
}

// An error of the idle work is shown like one of an event, and the loop goes on.
void TApplication::Idle() {
    if (!mainForm_ || !mainForm_->Handle()) return;
    try {
        POINT cursor;
        if (GetCursorPos(&cursor)) mainForm_->ShowHintAt(cursor);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(Exception(""));
    }
}

void TApplication::HandleException(std::exception_ptr error) noexcept {
    try {
        pending_.push_back(std::move(error));
    } catch (...) {
        // No memory to keep it: the errors already kept still show.
    }
}

// Every error that escaped, in the order they came, each in a box of its own.
void TApplication::ShowPendingException() {
    while (!pending_.empty()) {
        const std::exception_ptr error = pending_.front();
        pending_.pop_front();
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& escaped) {
            ShowException(escaped);
        } catch (...) {
            ShowException(Exception(""));
        }
    }
}

void TApplication::ShowException(const std::exception& error) {
    ShowErrorText(ErrorBoxText(error.what()));
}

void TApplication::ShowErrorText(const std::string& text) {
    if (errorBox_) {
        errorBox_(text);
        return;
    }
    ModalScope scope(window_);
    const WideText wideText(text);
    const WideText wideTitle(title_);
    MessageBoxW(window_, wideText.c_str(), wideTitle.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::Minimize() { ShowWindow(window_, SW_MINIMIZE); }

LRESULT TApplication::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND form = mainForm_ ? mainForm_->Handle() : nullptr;
    switch (message) {
    case WM_CLOSE:
        if (form) PostMessageW(form, WM_CLOSE, 0, 0);
        return 0;
    case WM_ACTIVATE:
        // The owner is never the window to work in: pass the activation on.
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && form && IsWindowVisible(form)) {
            SetActiveWindow(form);
            return 0;
        }
        break;
    }
    return Default(message, wParam, lParam);
}

int StartupShowCommand() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

int RunProgram(TApplication& application, const std::function<void()>& createMainForm) {
    try {
        try {
            application.Initialize();
            application.SetTitle("ケズリン");
            createMainForm();
            application.Run(StartupShowCommand());
        } catch (const std::exception& error) {
            application.ShowException(error);
        } catch (...) {
            try {
                throw Exception("");
            } catch (const Exception& error) {
                application.ShowException(error);
            }
        }
        application.DestroyMainForm();
    } catch (...) {
        // Nothing is left to show the error with; the exit status stays 0.
    }
    return 0;
}

}  // namespace kezurin
