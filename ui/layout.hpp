#pragma once

#include <span>
#include <vector>

namespace kezurin {

// Where a control goes in its parent: along an edge, over the rest, or by its anchors.
enum class Align { None, Top, Bottom, Left, Right, Fill };

// Edges of the parent that a non-docked control keeps its distance to. With
// neither horizontal anchor the control keeps its centre at the same fraction
// of the parent's width (likewise vertically).
enum Anchor : unsigned {
    kAnchorLeft = 1,
    kAnchorTop = 2,
    kAnchorRight = 4,
    kAnchorBottom = 8,
};

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Box&, const Box&) = default;
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// One child as the docking routine sees it: how it is placed, where it was in
// the designed parent, and its current box (whose width or height a docked
// control keeps along its edge).
struct Placement {
    Align align = Align::None;
    unsigned anchors = kAnchorLeft | kAnchorTop;
    Box design;
    Size designParent;
    Box current;
};

// Lays out the children of one parent of the given client size: first the
// bottom-docked, then top, left, right and fill, each group in creation order,
// each in the space the ones before it left; then the others by their anchors.
std::vector<Box> DockChildren(Size parent, std::span<const Placement> children);

// Where a window of `window` size first shows: centred on the desktop (each
// half truncated, a negative result 0) when it fits the work area of its
// monitor; otherwise as large as that work area allows and centred in it.
Box FirstWindowBox(Size window, Size desktop, Box workArea);

// value * numerator / denominator rounded to the nearest integer, halves away from zero.
int MulDivRounded(int value, int numerator, int denominator);

}  // namespace kezurin
