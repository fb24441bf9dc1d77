#include "MainWindow1.hpp"
#include "main_form_layout.hpp"

#include <algorithm>
#include <iterator>

namespace kezurin {
namespace {

constexpr FormRow kForm{"ケズリン", {1024, 600}, {1008, 562}, 12, "FormResize"};

constexpr unsigned kTopRight = kAnchorRight | kAnchorTop;
constexpr COLORREF kOrange = RGB(255, 128, 0);

constexpr ControlRow kLayout[] = {
    {.kind = ControlKind::StatusBar, .name = "StatusBar1", .design = {0, 546, 1008, 16},
     .align = Align::Bottom},
    {.kind = ControlKind::Panel, .name = "Panel0", .design = {0, 0, 1008, 546},
     .align = Align::Fill, .tabOrder = 1},
    {.kind = ControlKind::Panel, .name = "Panel1", .parent = "Panel0", .design = {0, 0, 1008, 30},
     .align = Align::Top, .tabOrder = 3},
    {.kind = ControlKind::Label, .name = "Label1", .parent = "Panel1", .design = {0, 0, 38, 30},
     .align = Align::Left, .caption = " Before"},
    {.kind = ControlKind::Label, .name = "Label2", .parent = "Panel1", .design = {978, 0, 30, 30},
     .align = Align::Right, .caption = "After "},
    {.kind = ControlKind::Panel, .name = "Panel2", .parent = "Panel1", .design = {384, 0, 250, 30},
     .anchors = 0, .tabOrder = 1},
    {.kind = ControlKind::Button, .name = "Button2", .parent = "Panel2", .design = {0, 8, 60, 18},
     .font = {.height = 11}, .caption = "貼り付け", .hint = "クリップボードからソースを貼り付け",
     .tabOrder = 1, .on = "Button2Click"},
    {.kind = ControlKind::Button, .name = "Button1", .parent = "Panel2", .design = {65, 4, 120, 22},
     .font = {.height = 12, .bold = true}, .caption = "除去開始(&R)", .hint = "コメントアウトを除去",
     .enabled = false, .tabOrder = 2, .on = "Button1Click"},
    {.kind = ControlKind::Button, .name = "Button3", .parent = "Panel2", .design = {190, 8, 60, 18},
     .font = {.height = 11}, .caption = "コピー", .hint = "除去したソースをクリップボードにコピー",
     .enabled = false, .tabOrder = 3, .on = "Button3Click"},
    {.kind = ControlKind::SpeedButton, .name = "SpeedButton1", .parent = "Panel1",
     .design = {990, 0, 18, 18}, .anchors = kTopRight,
     .font = {.height = 12, .bold = true, .color = kOrange}, .caption = "i", .hint = "インフォメーション", .on = "SpeedButton1Click"},
    {.kind = ControlKind::Memo, .name = "Memo1", .parent = "Panel0", .design = {0, 30, 506, 516},
     .align = Align::Left, .hint = "処理前ソース", .tabOrder = 1, .on = "Memo1Change"},
    {.kind = ControlKind::Splitter, .name = "Splitter1", .parent = "Panel0",
     .design = {506, 30, 4, 516}, .align = Align::Left},
    {.kind = ControlKind::Memo, .name = "Memo2", .parent = "Panel0", .design = {510, 30, 498, 516},
     .align = Align::Fill, .hint = "処理後ソース", .tabOrder = 2},
};

constexpr HandlerBinding kHandlers[] = {
    {"Memo1Change", &TMainForm1::Memo1Change},
    {"Button1Click", &TMainForm1::Button1Click},
    {"Button2Click", &TMainForm1::Button2Click},
    {"Button3Click", &TMainForm1::Button3Click},
    {"FormResize", &TMainForm1::FormResize},
    {"SpeedButton1Click", &TMainForm1::SpeedButton1Click},
};

constexpr bool IsBound(std::string_view name) {
    return name.empty() || std::any_of(std::begin(kHandlers), std::end(kHandlers),
                                       [&](const HandlerBinding& binding) { return binding.name == name; });
}

// Every handler the description names exists: checked when the program is built.
static_assert(IsBound(kForm.onResize));
static_assert(std::all_of(std::begin(kLayout), std::end(kLayout),
                          [](const ControlRow& row) { return IsBound(row.on); }));

}  // namespace

const FormRow& MainFormRow() { return kForm; }
std::span<const ControlRow> MainFormLayout() { return kLayout; }
std::span<const HandlerBinding> MainFormHandlers() { return kHandlers; }

}  // namespace kezurin
