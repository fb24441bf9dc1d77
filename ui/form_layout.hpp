#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "layout.hpp"

namespace kezurin {

// A control's identity in its form: the place of its row in the layout. The
// form itself is kFormItself: the parent of its top-level controls, and the
// one whose event is the resize.
using ControlId = int;
inline constexpr ControlId kFormItself = -1;

enum class ControlKind { StatusBar, Panel, Label, Splitter, SpeedButton, Button, Memo };

constexpr bool IsContainer(ControlKind kind) { return kind == ControlKind::Panel; }
constexpr bool IsTabStop(ControlKind kind) { return kind == ControlKind::Memo || kind == ControlKind::Button; }

// The system's colour for the text: the value CLR_DEFAULT has.
inline constexpr std::uint32_t kDefaultColor = 0xFF000000;

// A control's font: character height in pixels at 96 dpi (0 = the window's
// font) and colour as a COLORREF (blue-green-red bytes).
struct FontStyle {
    int height = 0;
    bool bold = false;
    std::uint32_t color = kDefaultColor;
};

// One row of a form's layout description.
struct ControlRow {
    ControlId id = 0;  // the row's own place in the table
    ControlKind kind = ControlKind::Panel;
    const char* name = "";
    ControlId parent = kFormItself;
    Box design{};  // at 96 dpi, in the parent's designed client area
    Align align = Align::None;
    unsigned anchors = kAnchorLeft | kAnchorTop;
    FontStyle font{};
    const char* caption = "";
    const char* hint = "";
    bool enabled = true;
    int tabOrder = 0;     // position among the siblings; 0 = not in the tab order
    const char* on = "";  // handler bound to the control's event (click, change), or ""
};

// The form itself: window class, caption, outer size, designed client size,
// font and resize handler.
struct FormRow {
    const char* className;
    const char* caption;
    Size outer;
    Size designClient;
    const char* fontFace;
    int fontHeight;
    const char* onResize;
};

struct FormLayout {
    const FormRow& form;
    std::span<const ControlRow> controls;
};

// Each row stands at its identity, and each parent is a container that comes
// before its children (creation order): checked when the program is built.
constexpr bool IsWellFormed(std::span<const ControlRow> rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlId parent = rows[i].parent;
        if (rows[i].id != static_cast<ControlId>(i)) return false;
        if (parent != kFormItself && (parent < 0 || parent >= rows[i].id || !IsContainer(rows[parent].kind))) {
            return false;
        }
    }
    return true;
}

// A handler of form T, named as the layout names it.
template <class T, class Sender>
struct HandlerBinding {
    std::string_view name;
    void (T::*handler)(Sender sender);
};

// Every handler the layout names, the form's resize handler too, is one of
// `bindings` (checked when the program is built).
template <class T, class Sender, std::size_t N>
constexpr bool BindsEveryHandler(const FormRow& form, std::span<const ControlRow> rows,
                                 const HandlerBinding<T, Sender> (&bindings)[N]) {
    const auto bound = [&](std::string_view name) {
        if (name.empty()) return true;
        for (const auto& binding : bindings) {
            if (binding.name == name) return true;
        }
        return false;
    };
    for (const ControlRow& row : rows) {
        if (!bound(row.on)) return false;
    }
    return bound(form.onResize);
}

// The controls that Tab visits, in order: the siblings of each parent by
// their tab positions, a container's members in its place.
std::vector<ControlId> TabOrder(std::span<const ControlRow> rows);

// The next control in a cycle of `count` after `from` (before it when
// backwards) that `canTake` accepts; from the start (the end) when `from` is
// not in the cycle.
template <class CanTake>
std::optional<std::size_t> NextInCycle(std::size_t count, std::optional<std::size_t> from, bool backwards,
                                       CanTake&& canTake) {
    std::size_t position = from ? *from : (backwards ? 0 : count - 1);
    for (std::size_t step = 0; step < count; ++step) {
        position = (position + (backwards ? count - 1 : 1)) % count;
        if (canTake(position)) return position;
    }
    return std::nullopt;
}

// The button whose caption marks `key` as its access key ("&R"), whatever
// the letter's case.
std::optional<ControlId> AccessKeyOwner(std::span<const ControlRow> rows, char key);

// The hint of a control, else of its nearest enclosing control that has one, else "".
std::string_view HintOf(std::span<const ControlRow> rows, std::optional<ControlId> control);

// The control a divider resizes: the one docked before it at the same edge of the same parent.
std::optional<ControlId> PaneOfDivider(std::span<const ControlRow> rows, ControlId divider);

}  // namespace kezurin
