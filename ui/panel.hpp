#pragma once

#include <windows.h>

#include <functional>

#include "base_window.hpp"

namespace kezurin {

// A plain container, or a label: shows the button face (a label its caption
// at its bottom) and passes the commands of the controls inside it on.
class TPanel : public BaseWindow<TPanel> {
public:
    struct Look {
        const char* caption;  // drawn for a label only
        HFONT font;
        bool isLabel;
    };
    using CommandSink = std::function<void(WPARAM wParam, LPARAM lParam)>;

    // Null when the system refuses.
    HWND Create(HWND parent, const Box& box, int id, Look look, CommandSink onCommand, ErrorSink onError);

private:
    friend class BaseWindow<TPanel>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint();

    Look look_{};
    CommandSink onCommand_;
};

}  // namespace kezurin
