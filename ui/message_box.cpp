#include "message_box.hpp"
#include "centring.hpp"

#include <string>

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

// A text with its terminating zero: on the stack when it is short.
class TerminatedText {
public:
    explicit TerminatedText(std::string_view text) {
        if (text.size() < sizeof shortText_) {
            text.copy(shortText_, text.size());
            shortText_[text.size()] = '\0';
        } else {
            longText_.assign(text);
        }
    }
    const char* c_str() const { return longText_.empty() ? shortText_ : longText_.c_str(); }

private:
    char shortText_[512];
    std::string longText_;
};

}  // namespace

void ShowCentredMessageBox(HWND owner, std::string_view text, std::string_view caption) {
    const TerminatedText ownText(text);
    const TerminatedText ownCaption(caption);
    centringHook = SetWindowsHookExA(WH_CBT, CentringProc, nullptr, GetCurrentThreadId());
    MessageBoxA(owner, ownText.c_str(), ownCaption.c_str(), MB_OK);
    if (centringHook) {
        UnhookWindowsHookEx(centringHook);
        centringHook = nullptr;
    }
}

}  // namespace kezurin
