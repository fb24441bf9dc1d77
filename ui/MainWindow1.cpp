// The main window's layout description: the window, its control tree and
// its handlers by name.
#include "MainWindow1.hpp"

namespace kezurin {

TMainForm1* MainForm1 = nullptr;

namespace {

using Id = TMainForm1::Id;

constexpr FormRow kForm{.className = "TMainForm1",
                        .caption = "ケズリン",
                        .outer = {1024, 600},
                        .designClient = {1008, 562},
                        .fontFace = "ＭＳ Ｐゴシック",
                        .fontHeight = 12,
                        .onResize = "FormResize"};

constexpr unsigned kTopRight = kAnchorRight | kAnchorTop;
constexpr std::uint32_t kOrange = 0x0080FF;  // red 255, green 128, blue 0

// Parents before children, in creation order; each row at its identity.
constexpr ControlRow kLayout[] = {
    {.id = Id::StatusBar1, .kind = ControlKind::StatusBar, .name = "StatusBar1",
     .design = {0, 546, 1008, 16}, .align = Align::Bottom},
    {.id = Id::Panel0, .kind = ControlKind::Panel, .name = "Panel0", .design = {0, 0, 1008, 546},
     .align = Align::Fill, .tabOrder = 1},
    {.id = Id::Panel1, .kind = ControlKind::Panel, .name = "Panel1", .parent = Id::Panel0,
     .design = {0, 0, 1008, 30}, .align = Align::Top, .tabOrder = 3},
    {.id = Id::Label1, .kind = ControlKind::Label, .name = "Label1", .parent = Id::Panel1,
     .design = {0, 0, 38, 30}, .align = Align::Left, .caption = " Before"},
    {.id = Id::Label2, .kind = ControlKind::Label, .name = "Label2", .parent = Id::Panel1,
     .design = {978, 0, 30, 30}, .align = Align::Right, .caption = "After "},
    {.id = Id::Panel2, .kind = ControlKind::Panel, .name = "Panel2", .parent = Id::Panel1,
     .design = {384, 0, 250, 30}, .anchors = 0, .tabOrder = 1},
    {.id = Id::Button2, .kind = ControlKind::Button, .name = "Button2", .parent = Id::Panel2,
     .design = {0, 8, 60, 18}, .font = {.height = 11}, .caption = "貼り付け",
     .hint = "クリップボードからソースを貼り付け", .tabOrder = 1, .on = "Button2Click"},
    {.id = Id::Button1, .kind = ControlKind::Button, .name = "Button1", .parent = Id::Panel2,
     .design = {65, 4, 120, 22}, .font = {.height = 12, .bold = true}, .caption = "除去開始(&R)",
     .hint = "コメントアウトを除去", .enabled = false, .tabOrder = 2, .on = "Button1Click"},
    {.id = Id::Button3, .kind = ControlKind::Button, .name = "Button3", .parent = Id::Panel2,
     .design = {190, 8, 60, 18}, .font = {.height = 11}, .caption = "コピー",
     .hint = "除去したソースをクリップボードにコピー", .enabled = false, .tabOrder = 3,
     .on = "Button3Click"},
    {.id = Id::SpeedButton1, .kind = ControlKind::SpeedButton, .name = "SpeedButton1",
     .parent = Id::Panel1, .design = {990, 0, 18, 18}, .anchors = kTopRight,
     .font = {.height = 12, .bold = true, .color = kOrange}, .caption = "i",
     .hint = "インフォメーション", .on = "SpeedButton1Click"},
    {.id = Id::Memo1, .kind = ControlKind::Memo, .name = "Memo1", .parent = Id::Panel0,
     .design = {0, 30, 506, 516}, .align = Align::Left, .hint = "処理前ソース", .tabOrder = 1,
     .on = "Memo1Change"},
    {.id = Id::Splitter1, .kind = ControlKind::Splitter, .name = "Splitter1", .parent = Id::Panel0,
     .design = {506, 30, 4, 516}, .align = Align::Left},
    {.id = Id::Memo2, .kind = ControlKind::Memo, .name = "Memo2", .parent = Id::Panel0,
     .design = {510, 30, 498, 516}, .align = Align::Fill, .hint = "処理後ソース", .tabOrder = 2},
};

constexpr HandlerBinding<TMainForm1, HWND> kHandlers[] = {
    {"Memo1Change", &TMainForm1::Memo1Change},
    {"Button1Click", &TMainForm1::Button1Click},
    {"Button2Click", &TMainForm1::Button2Click},
    {"Button3Click", &TMainForm1::Button3Click},
    {"FormResize", &TMainForm1::FormResize},
    {"SpeedButton1Click", &TMainForm1::SpeedButton1Click},
};

// Checked when the program is built: the rows stand in order, and every
// handler they name exists.
static_assert(IsWellFormed(kLayout));
static_assert(BindsEveryHandler(kForm, kLayout, kHandlers));

}  // namespace

TMainForm1::TMainForm1(FormOwner& owner) : TForm(owner, {kForm, kLayout}) {
    Create(HandlersOf(*this, kHandlers));
}

}  // namespace kezurin
