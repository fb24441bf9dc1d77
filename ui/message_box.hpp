#pragma once

#include <windows.h>

#include <string_view>

namespace kezurin {

// A modal message box with one OK button, owned by `owner` and centred on the screen.
// Takes no memory of its own for a short text, so that it can report a failure
// to allocate.
void ShowCentredMessageBox(HWND owner, std::string_view text, std::string_view caption);

}  // namespace kezurin
