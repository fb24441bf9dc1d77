#include "message_box.hpp"

namespace kezurin {
namespace {

// The box is centred on the screen, not on its owner as the system would place it.
thread_local HHOOK centringHook = nullptr;

void CentreOnScreen(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK CentringProc(int code, WPARAM wParam, LPARAM lParam) {
    const HHOOK hook = centringHook;
    if (code == HCBT_ACTIVATE && hook) {
        CentreOnScreen(reinterpret_cast<HWND>(wParam));
        UnhookWindowsHookEx(hook);
        centringHook = nullptr;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

void ShowCentredMessageBox(HWND owner, const std::string& text, const std::string& caption) {
    centringHook = SetWindowsHookExA(WH_CBT, CentringProc, nullptr, GetCurrentThreadId());
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK);
    if (centringHook) {
        UnhookWindowsHookEx(centringHook);
        centringHook = nullptr;
    }
}

}  // namespace kezurin
