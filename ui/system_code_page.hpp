#pragma once

#include <windows.h>

#include "kezurin/code_page.hpp"

namespace kezurin {

// The system's ANSI code page, known by its lead bytes.
inline CodePage SystemCodePage() {
    CodePage page;
    for (unsigned byte = 0; byte < 256; ++byte) {
        if (IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(byte))) {
            page.AddLeadBytes(static_cast<unsigned char>(byte), static_cast<unsigned char>(byte));
        }
    }
    return page;
}

}  // namespace kezurin
