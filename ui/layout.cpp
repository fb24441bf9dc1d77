#include "layout.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

namespace kezurin {
namespace {

struct Space {
    int left, top, right, bottom;
};

Box DockOne(Align align, const Box& current, Space& space) {
    const int width = space.right - space.left;
    const int height = space.bottom - space.top;
    Box box;
    switch (align) {
    case Align::Bottom:
        box = {space.left, space.bottom - current.height, width, current.height};
        space.bottom -= current.height;
        break;
    case Align::Top:
        box = {space.left, space.top, width, current.height};
        space.top += current.height;
        break;
    case Align::Left:
        box = {space.left, space.top, current.width, height};
        space.left += current.width;
        break;
    case Align::Right:
        box = {space.right - current.width, space.top, current.width, height};
        space.right -= current.width;
        break;
    case Align::Fill:
    case Align::None:
        box = {space.left, space.top, width, height};
        break;
    }
    return box;
}

// One axis of an anchored control: its start and length in a parent of `extent`.
std::array<int, 2> AnchorAxis(bool nearEdge, bool farEdge, int designStart, int designLength,
                              int designExtent, int currentLength, int extent) {
    const int farGap = designExtent - designStart - designLength;
    if (nearEdge && farEdge) return {designStart, extent - farGap - designStart};
    if (farEdge) return {extent - farGap - currentLength, currentLength};
    if (nearEdge) return {designStart, currentLength};
    const int centre = MulDivRounded(designStart + designLength / 2, extent, designExtent);
    return {centre - currentLength / 2, currentLength};
}

Box Anchored(const Placement& child, Size parent) {
    const auto [left, width] = AnchorAxis(
        child.anchors & kAnchorLeft, child.anchors & kAnchorRight, child.design.left,
        child.design.width, child.designParent.width, child.current.width, parent.width);
    const auto [top, height] = AnchorAxis(
        child.anchors & kAnchorTop, child.anchors & kAnchorBottom, child.design.top,
        child.design.height, child.designParent.height, child.current.height, parent.height);
    return {left, top, width, height};
}

}  // namespace

int MulDivRounded(int value, int numerator, int denominator) {
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

std::vector<Box> DockChildren(Size parent, std::span<const Placement> children) {
    std::vector<Box> boxes(children.size());
    Space space{0, 0, parent.width, parent.height};
    for (Align group : {Align::Bottom, Align::Top, Align::Left, Align::Right, Align::Fill}) {
        for (std::size_t i = 0; i < children.size(); ++i) {
            if (children[i].align == group) boxes[i] = DockOne(group, children[i].current, space);
        }
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (children[i].align == Align::None) boxes[i] = Anchored(children[i], parent);
    }
    return boxes;
}

Box FirstWindowBox(Size window, Size desktop, Box workArea) {
    if (window.width <= workArea.width && window.height <= workArea.height) {
        return {std::max(0, (desktop.width - window.width) / 2),
                std::max(0, (desktop.height - window.height) / 2), window.width, window.height};
    }
    const int width = std::min(window.width, workArea.width);
    const int height = std::min(window.height, workArea.height);
    return {workArea.left + (workArea.width - width) / 2, workArea.top + (workArea.height - height) / 2,
            width, height};
}

}  // namespace kezurin
