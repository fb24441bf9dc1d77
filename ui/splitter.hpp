#pragma once

#include <windows.h>

#include <functional>

#include "base_window.hpp"
#include "win_handles.hpp"

namespace kezurin {

// The divider right of a left-docked pane: dragging it with the left button
// resizes the pane. During the drag only an inverted line follows the
// pointer; the pane takes the new width on release, or keeps its own on Escape.
class TSplitter : public BaseWindow<TSplitter> {
public:
    // `setPaneWidth` resizes the pane; `smallestPane` is the narrowest either
    // pane may be left with (a narrower left pane shuts).
    HWND Create(HWND parent, const Box& box, int id, HWND pane, std::function<void(int)> setPaneWidth,
                int smallestPane, ErrorSink onError);

    bool Dragging() const { return drag_.active; }
    void CancelDrag() {
        if (drag_.active) EndDrag(false);
    }

private:
    friend class BaseWindow<TSplitter>;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    struct Drag {
        bool active = false;
        int pressX = 0;
        int widthAtPress = 0;
        int largestWidth = 0;
        int proposed = 0;
        bool lineShown = false;
    };

    void OnPaint();
    void OnLButtonDown(int x);
    void OnMouseMove(int x);
    void DrawDragLine();
    void EndDrag(bool apply);

    HWND pane_ = nullptr;
    std::function<void(int)> setPaneWidth_;
    int smallestPane_ = 0;
    Brush hatch_;
    Drag drag_;
};

}  // namespace kezurin
