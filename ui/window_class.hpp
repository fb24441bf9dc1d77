#pragma once

#include <windows.h>

namespace kezurin {

// The program's icon from its resources, or the system's when it has none (the tests).
HICON ProgramIcon();

// Registers a Unicode window class of this module once; throws when the system refuses.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon);

}  // namespace kezurin
