#include "form_layout.hpp"

#include <algorithm>

namespace kezurin {
namespace {

void VisitTabOrder(std::span<const ControlRow> rows, ControlId parent, std::vector<ControlId>& order) {
    std::vector<ControlId> members;
    for (const ControlRow& row : rows) {
        if (row.parent == parent && row.tabOrder > 0) members.push_back(row.id);
    }
    std::stable_sort(members.begin(), members.end(),
                     [&](ControlId a, ControlId b) { return rows[a].tabOrder < rows[b].tabOrder; });
    for (ControlId member : members) {
        if (IsTabStop(rows[member].kind)) order.push_back(member);
        if (IsContainer(rows[member].kind)) VisitTabOrder(rows, member, order);
    }
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::vector<ControlId> TabOrder(std::span<const ControlRow> rows) {
    std::vector<ControlId> order;
    VisitTabOrder(rows, kFormItself, order);
    return order;
}

std::optional<ControlId> AccessKeyOwner(std::span<const ControlRow> rows, char key) {
    for (const ControlRow& row : rows) {
        if (row.kind != ControlKind::Button) continue;
        const std::string_view caption = row.caption;
        const auto amp = caption.find('&');
        if (amp == std::string_view::npos || amp + 1 >= caption.size()) continue;
        if (Upper(caption[amp + 1]) == Upper(key)) return row.id;
    }
    return std::nullopt;
}

std::string_view HintOf(std::span<const ControlRow> rows, std::optional<ControlId> control) {
    for (ControlId at = control.value_or(kFormItself); at != kFormItself; at = rows[at].parent) {
        if (*rows[at].hint) return rows[at].hint;
    }
    return {};
}

std::optional<ControlId> PaneOfDivider(std::span<const ControlRow> rows, ControlId divider) {
    for (ControlId at = divider - 1; at >= 0; --at) {
        if (rows[at].parent == rows[divider].parent && rows[at].align == rows[divider].align) return at;
    }
    return std::nullopt;
}

}  // namespace kezurin
