#pragma once

#include <windows.h>

#include <exception>

namespace kezurin {

// Tooltip settings of the application, in milliseconds.
struct HintSettings {
    bool show = true;
    UINT initialDelay = 500;
    UINT hideDelay = 2500;
};

// What a window needs of the application object that owns it.
class FormOwner {
public:
    // The application's hidden owner window, which owns every top-level window.
    virtual HWND OwnerWindow() const = 0;
    virtual HintSettings Hints() const = 0;
    // An error escaped a handler: the owner shows it once the current message is done.
    virtual void HandleException(std::exception_ptr error) noexcept = 0;
    virtual void MainFormDestroyed() = 0;
    // Minimising the main window minimises the application (its taskbar entry).
    virtual void Minimize() = 0;

protected:
    ~FormOwner() = default;
};

}  // namespace kezurin
