#include "message_box.hpp"
#include "centring.hpp"

namespace kezurin {
namespace {

// The box is centred on the screen, not on its owner as the system would place it.
thread_local HHOOK centringHook = nullptr;

LRESULT CALLBACK CentringProc(int code, WPARAM wParam, LPARAM lParam) {
    const HHOOK hook = centringHook;
    if (code == HCBT_ACTIVATE && hook) {
        CentreWindow(reinterpret_cast<HWND>(wParam), ScreenSize());
        UnhookWindowsHookEx(hook);
        centringHook = nullptr;
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

}  // namespace

void ShowCentredMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption) {
    centringHook = SetWindowsHookExW(WH_CBT, CentringProc, nullptr, GetCurrentThreadId());
    MessageBoxW(owner, text, caption, MB_OK);
    if (centringHook) {
        UnhookWindowsHookEx(centringHook);
        centringHook = nullptr;
    }
}

}  // namespace kezurin
