#pragma once

#include <windows.h>

namespace kezurin {

// Milliseconds on the performance counter: steady and finer than the system
// tick (15.6 ms), whatever the counter's frequency.
inline double Milliseconds() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace kezurin
