// The form description of TForm1: window properties, the eleven controls in creation order, and
// the names by which fields and handlers are bound. Texts are in code page 932; each is given
// in plain writing beside it.
#include "ui/Unit1.h"

namespace {

// Two banded resistors in parallel: the one source of the icon at every size.
#include "ui/OhmSiftIcon.xpm"

// "ＭＳ Ｐゴシック", the proportional Japanese face, and "ＭＳ ゴシック", the fixed-pitch one.
constexpr TFontDescription kWindowFont{
    "\x82l\x82r \x82o\x83S\x83V\x83"
    "b\x83N",
    -12, SHIFTJIS_CHARSET, clWindowText};
constexpr TFontDescription kListFont{
    "\x82l\x82r \x83S\x83V\x83"
    "b\x83N",
    -12, SHIFTJIS_CHARSET, clWindowText};

const TControlDescription kControls[] = {
    {.Class = TControlClass::Label,
     .Name = "Label1",
     .Left = 8,
     .Top = 0,
     .Width = 68,
     .Height = 12,
     .Caption = "\x97~\x82\xb5\x82\xa2\x92\xef\x8dR\x92l",  // 欲しい抵抗値
     .FocusControl = "Edit1"},
    {.Class = TControlClass::Label,
     .Name = "Label2",
     .Left = 112,
     .Top = 0,
     .Width = 59,
     .Height = 12,
     .Caption = "\x95K\x97v\x82\xc8\x92\xef\x8dR",  // 必要な抵抗
     .FocusControl = "ListUse"},
    {.Class = TControlClass::Label,
     .Name = "Label3",
     .Left = 216,
     .Top = 0,
     .Width = 90,
     .Height = 12,
     .Caption =
         "\x8e\x9d\x82\xc1\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x92\xef\x8dR",  // 持っていない抵抗
     .FocusControl = "ListNone"},
    {.Class = TControlClass::Label,
     .Name = "Label4",
     .Left = 8,
     .Top = 144,
     .Width = 258,
     .Height = 12,
     // 誤差(%)　必要な抵抗１　抵抗２　できた抵抗値
     .Caption = "\x8c\xeb\x8d\xb7(%)\x81@\x95K\x97v\x82\xc8\x92\xef\x8dR\x82P\x81@\x92\xef\x8dR"
                "\x82Q\x81@\x82\xc5\x82\xab\x82\xbd\x92\xef\x8dR\x92l",
     .ParentFont = false,
     .Font = kListFont,
     .FocusControl = "ListAns"},
    {.Class = TControlClass::Label,
     .Name = "NeedReg",
     .Left = 8,
     .Top = 120,
     .Width = 4,
     .Height = 12},
    {.Class = TControlClass::ListBox,
     .Name = "ListAns",
     .Left = 0,
     .Top = 160,
     .Width = 313,
     .Height = 129,
     .ParentFont = false,
     .Font = kListFont,
     .TabOrder = 0,
     .Sorted = true,
     .MultiSelect = false,
     .ItemHeight = 12},
    {.Class = TControlClass::Edit,
     .Name = "Edit1",
     .Left = 8,
     .Top = 16,
     .Width = 73,
     .Height = 20,
     .Caption = "",
     // 100Ω以上の欲しい抵抗値（整数）を入力
     .Hint = "100\x83\xb6\x88\xc8\x8f\xe3\x82\xcc\x97~\x82\xb5\x82\xa2\x92\xef\x8dR\x92l\x81i"
             "\x90\xae\x90\x94\x81j\x82\xf0\x93\xfc\x97\xcd",
     .ShowHint = true,
     .ParentShowHint = false,
     .TabOrder = 1,
     .MaxLength = 7,
     .ImeMode = imDisable,
     .OnChange = "Edit1Change"},
    {.Class = TControlClass::ListBox,
     .Name = "ListUse",
     .Left = 104,
     .Top = 16,
     .Width = 81,
     .Height = 113,
     .ParentFont = false,
     .Font = kListFont,
     .TabOrder = 2,
     .Sorted = true,
     .MultiSelect = true,
     .ItemHeight = 12},
    {.Class = TControlClass::ListBox,
     .Name = "ListNone",
     .Left = 224,
     .Top = 16,
     .Width = 81,
     .Height = 113,
     .ParentFont = false,
     .Font = kListFont,
     .TabOrder = 3,
     .Sorted = true,
     .MultiSelect = true,
     .ItemHeight = 12},
    {.Class = TControlClass::Button,
     .Name = "Button1",
     .Left = 192,
     .Top = 40,
     .Width = 25,
     .Height = 25,
     .Caption = "->",
     // 持っていない抵抗に移す
     .Hint = "\x8e\x9d\x82\xc1\x82\xc4\x82\xa2\x82\xc8\x82\xa2\x92\xef\x8dR\x82\xc9\x88\xda"
             "\x82\xb7",
     .ShowHint = true,
     .ParentShowHint = false,
     .TabOrder = 4,
     .OnClick = "Button1Click"},
    {.Class = TControlClass::Button,
     .Name = "Button2",
     .Left = 192,
     .Top = 80,
     .Width = 25,
     .Height = 25,
     .Caption = "<-",
     .Hint = "\x95K\x97v\x82\xc8\x92\xef\x8dR\x82\xc9\x88\xda\x82\xb7",  // 必要な抵抗に移す
     .ShowHint = true,
     .ParentShowHint = false,
     .TabOrder = 5,
     .OnClick = "Button2Click"},
};

const TPublishedMethod kMethods[] = {
    {"Edit1Change", PublishedMethod(&TForm1::Edit1Change)},
    {"Button1Click", PublishedMethod(&TForm1::Button1Click)},
    {"Button2Click", PublishedMethod(&TForm1::Button2Click)},
};

const TPublishedField kFields[] = {
    {"ListAns", &BindPublishedField<TForm1, TListBox, &TForm1::ListAns>},
    {"Edit1", &BindPublishedField<TForm1, TEdit, &TForm1::Edit1>},
    {"ListUse", &BindPublishedField<TForm1, TListBox, &TForm1::ListUse>},
    {"ListNone", &BindPublishedField<TForm1, TListBox, &TForm1::ListNone>},
    {"Button1", &BindPublishedField<TForm1, TButton, &TForm1::Button1>},
    {"Label1", &BindPublishedField<TForm1, TLabel, &TForm1::Label1>},
    {"Label2", &BindPublishedField<TForm1, TLabel, &TForm1::Label2>},
    {"Label3", &BindPublishedField<TForm1, TLabel, &TForm1::Label3>},
    {"Button2", &BindPublishedField<TForm1, TButton, &TForm1::Button2>},
    {"Label4", &BindPublishedField<TForm1, TLabel, &TForm1::Label4>},
    {"NeedReg", &BindPublishedField<TForm1, TLabel, &TForm1::NeedReg>},
};

}  // namespace

const TFormDescription Form1Description{
    .Name = "Form1",
    .Caption = "OhmSift",
    .BorderStyle = bsSingle,
    .Position = poScreenCenter,
    .Left = 341,
    .Top = 412,
    .ClientWidth = 314,
    .ClientHeight = 292,
    .Color = clBtnFace,
    .Font = kWindowFont,
    .Icon = ohmsift_icon_xpm,
    .PixelsPerInch = 96,
    .TextHeight = 12,
    .Controls = kControls,
    .ControlCount = sizeof kControls / sizeof kControls[0],
};

const TPublishedTable Form1Published{kMethods, sizeof kMethods / sizeof kMethods[0], kFields,
                                     sizeof kFields / sizeof kFields[0]};
