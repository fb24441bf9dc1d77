#pragma once

#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "kezurin/code_page.hpp"
#include "line_marks.hpp"

namespace kezurin::detail {

// What a host may offer beyond RemovalHost to take the run's fast path (the
// in-memory TextHost does); the run asks for it in one place, RunPasses.
//
// - MarksOf(i): the marks of line i, or none when the host does not know
//   them (a long line, or one it has rewritten). Must be cheap.
// - PutLine(i, front, back): replaces line i by `front` followed by `back`.
// - CaptionStorage(): the caption's own text; the run builds its progress
//   captions there and then sets the caption to that very text.
// - ProgressWatched(): false when nothing sees the captions in between
//   (nothing is called at a repaint); the run then has the host take each
//   line through both passes at once, with SetOutputTextWithoutComments.
//
// Both PutLine forms follow RemovalHost::PutLine's aliasing rule: the pieces
// may be views of any of the host's own lines.
template <class Host>
concept MarkedLinesHost = requires(Host& host, const Host& constHost, std::size_t index,
                                   std::string_view piece) {
    { constHost.MarksOf(index) } -> std::same_as<std::optional<LineMarks>>;
    host.PutLine(index, piece, piece);
    { host.CaptionStorage() } -> std::same_as<std::string&>;
    { constHost.ProgressWatched() } -> std::same_as<bool>;
    host.SetOutputTextWithoutComments(CodePage{});
};

}  // namespace kezurin::detail
