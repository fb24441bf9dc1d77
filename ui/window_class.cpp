#include "window_class.hpp"

#include <stdexcept>

namespace kezurin {

HICON ProgramIcon() {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

void RegisterWindowClass(const char* name, WNDPROC procedure, HICON icon) {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExA(module, name, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    if (!RegisterClassExA(&windowClass)) throw std::runtime_error("RegisterClassEx failed");
}

}  // namespace kezurin
