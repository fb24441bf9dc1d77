#pragma once

#include <windows.h>

#include <string>

namespace kezurin {

// A modal message box with one OK button, owned by `owner` and centred on the screen.
void ShowCentredMessageBox(HWND owner, const std::string& text, const std::string& caption);

}  // namespace kezurin
