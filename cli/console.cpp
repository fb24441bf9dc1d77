#include "console.hpp"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>

#include "file_system.hpp"  // WideFromUtf8
#else
#include <unistd.h>
#endif

namespace kezurin::cli {
namespace {

bool IsTerminal(int fd) {
#ifdef _WIN32
    return _isatty(fd) != 0;
#else
    return isatty(fd) != 0;
#endif
}

}  // namespace

void UseBinaryStandardStreams() {
#ifdef _WIN32
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
#endif
}

bool StandardErrorIsTerminal() { return IsTerminal(2); }
bool StandardOutputIsTerminal() { return IsTerminal(1); }

void WriteStandardError(std::string_view text) {
#ifdef _WIN32
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode)) {
        const std::wstring wide = WideFromUtf8(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
#endif
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace kezurin::cli
