#pragma once

#include <windows.h>

namespace kezurin {

// A modal message box with one OK button, owned by `owner` and centred on the
// screen. Takes no memory of its own, so that it can report a failure to
// allocate.
void ShowCentredMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption);

}  // namespace kezurin
