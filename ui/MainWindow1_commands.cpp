// The handlers of the main window: the input-change rule, Paste, Start
// removal, Copy, the information page and the resize rule, and what they share.
#include "MainWindow1.hpp"
#include "info_page.hpp"
#include "message_box.hpp"
#include "kezurin/removal_run.hpp"
#include "wide_text.hpp"
#include "wtf8.hpp"

#include <shellapi.h>

#include <iterator>
#include <string>

namespace kezurin {

void TMainForm1::ShowMessageBox(std::string_view text) {
    if (messageDisplay_) {
        messageDisplay_(text);
        return;
    }
    // The hidden owner window carries the application title; read without
    // allocating, as the box may report exhausted memory.
    wchar_t title[256] = {};
    GetWindowTextW(Owner().OwnerWindow(), title, static_cast<int>(std::size(title)));
    ShowCentredMessageBox(Handle(), WideText(text).c_str(), title);
}

PaneRemovalHost TMainForm1::MakeRemovalHost() {
    return PaneRemovalHost({Handle(), Memo1(), Memo2()},
                           [this](std::string_view text) { ShowMessageBox(text); },
                           allocationCheck_, &lastRun_);
}

// Any edit that leaves text in the input throws the output of an earlier run
// away; deleting the whole input keeps it.
void TMainForm1::Memo1Change(HWND) {
    const bool hasText = GetWindowTextLengthW(Memo1()) != 0;
    if (hasText) SetWindowTextW(Memo2(), L"");
    EnableWindow(Button1(), hasText);
    EnableWindow(Button3(), hasText);
}

void TMainForm1::Button1Click(HWND) {
    PaneRemovalHost host = MakeRemovalHost();
    RunRemoval(host, CodePage());  // the host's WTF-8 has no lead bytes
}

// Paste: the clipboard's text replaces the input. Only the paste reports a change.
void TMainForm1::Button2Click(HWND) {
    SetTextQuietly(Memo1(), L"");
    SendMessageW(Memo1(), WM_PASTE, 0, 0);
}

// Copy: the whole output, as it stands, to the clipboard.
void TMainForm1::Button3Click(HWND) {
    SendMessageW(Memo2(), EM_SETSEL, 0, -1);
    SendMessageW(Memo2(), WM_COPY, 0, 0);
}

// Opens the information page; whether the shell manages is not reported.
void TMainForm1::SpeedButton1Click(HWND) {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    // The name rules on UTF-8, whose multi-byte characters hold no "\", ":" or ".".
    const std::string address =
        InfoPageAddress(Wtf8FromUtf16(std::wstring_view(path, length)), CodePage());
    if (addressOpener_) {
        addressOpener_(Handle(), address);
        return;
    }
    ShellExecuteW(Handle(), L"OPEN", Utf16FromWtf8<wchar_t>(address).c_str(), L"", L"", SW_SHOW);
}

// The rule follows the application's one main window: a size that comes
// before start-up has stored it, or after it is gone, changes nothing.
void TMainForm1::FormResize(HWND) {
    if (MainForm1 != this || !Handle()) return;
    RECT outer;
    GetWindowRect(Handle(), &outer);
    SetControlWidth(Id::Memo1, (outer.right - outer.left) / 2 - Scale(9));
}

}  // namespace kezurin
