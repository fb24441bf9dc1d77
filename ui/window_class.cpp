#include "window_class.hpp"

#include <stdexcept>

namespace kezurin {

HICON ProgramIcon() {
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HICON icon) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(module, name, &windowClass)) return;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hIcon = icon;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name;
    if (!RegisterClassExW(&windowClass)) throw std::runtime_error("RegisterClassEx failed");
}

}  // namespace kezurin
