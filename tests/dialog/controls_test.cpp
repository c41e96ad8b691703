#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "dialog/ui/containers_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"
#include "dialog/ui/masked_edit_win32.h"

namespace {

struct TParent {
    TParent() { Form.CreateForm({.Caption = "Controls"}); }
    HWND Handle() const { return Form.Handle(); }
    TForm Form;
};

LONG_PTR StyleOf(HWND hwnd) {
    return GetWindowLongPtrA(hwnd, GWL_STYLE);
}

RECT PlaceIn(HWND parent, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HFONT FontOf(HWND hwnd) {
    return reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
}

std::string TextOf(HWND hwnd) {
    char text[64] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

} // namespace

// The common arguments mean the same for a standard control and for the library's own
// windows: place, id, text, visibility, state, and the parent's font unless one is given.
TEST(Controls, CommonArgumentsMeanTheSameForEveryKindOfWindow) {
    TParent parent;
    const TControlArgs common{.Parent = parent.Handle(),
                              .Rect = {10, 20, 90, 25},
                              .Id = 42,
                              .Text = "Текст",
                              .Visible = false,
                              .Enabled = false};
    TButton button;
    TContainer container;
    TPanel panel;
    ASSERT_TRUE(button.Create(common));
    ASSERT_TRUE(container.Create(common));
    ASSERT_TRUE(panel.Create(common));
    for (HWND hwnd : {button.Handle(), container.Handle(), panel.Handle()}) {
        const RECT r = PlaceIn(parent.Handle(), hwnd);
        EXPECT_EQ(r.left, 10);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right - r.left, 90);
        EXPECT_EQ(r.bottom - r.top, 25);
        EXPECT_EQ(GetDlgCtrlID(hwnd), 42);
        EXPECT_EQ(TextOf(hwnd), "Текст");
        EXPECT_FALSE(StyleOf(hwnd) & WS_VISIBLE);
        EXPECT_TRUE(StyleOf(hwnd) & WS_DISABLED);
        EXPECT_EQ(FontOf(hwnd), parent.Form.Font());
    }

    const TFontHandle bold = MakeFont({.Bold = true});
    TLabel label;
    TContainer page;
    ASSERT_TRUE(label.Create({.Parent = parent.Handle(), .Font = bold.Get()}));
    ASSERT_TRUE(page.Create({.Parent = parent.Handle(), .Font = bold.Get()}));
    EXPECT_EQ(FontOf(label.Handle()), bold.Get());
    EXPECT_EQ(FontOf(page.Handle()), bold.Get());
    EXPECT_TRUE(StyleOf(label.Handle()) & WS_VISIBLE);
    EXPECT_FALSE(StyleOf(label.Handle()) & (WS_DISABLED | WS_TABSTOP));
}

// Each control's own options reach its window; the ones left out keep their defaults.
TEST(Controls, OwnOptionsReachTheWindow) {
    TParent parent;
    const HWND p = parent.Handle();
    TButton push, defaultButton, check;
    ASSERT_TRUE(push.Create({.Parent = p}));
    ASSERT_TRUE(defaultButton.Create({.Parent = p}, {.Kind = TButtonKind::Default}));
    ASSERT_TRUE(check.Create({.Parent = p}, {.Kind = TButtonKind::Check, .LeftText = true}));
    EXPECT_EQ(StyleOf(push.Handle()) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_TRUE(StyleOf(push.Handle()) & WS_TABSTOP); // buttons are always tab stops
    EXPECT_TRUE(defaultButton.IsDefault());
    EXPECT_EQ(StyleOf(defaultButton.Handle()) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(StyleOf(check.Handle()) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_TRUE(StyleOf(check.Handle()) & BS_LEFTTEXT);

    TLabel label;
    ASSERT_TRUE(label.Create({.Parent = p}, {.Align = TAlign::Right, .Sunken = true}));
    EXPECT_EQ(StyleOf(label.Handle()) & SS_TYPEMASK, SS_RIGHT);
    EXPECT_TRUE(GetWindowLongPtrA(label.Handle(), GWL_EXSTYLE) & WS_EX_STATICEDGE);

    TEdit edit;
    ASSERT_TRUE(edit.Create({.Parent = p}, {.MaxLength = 12}));
    EXPECT_EQ(SendMessageA(edit.Handle(), EM_GETLIMITTEXT, 0, 0), 12);

    TComboBox combo;
    ASSERT_TRUE(combo.Create({.Parent = p, .Rect = {0, 0, 80, 21}},
                             {.Editable = true, .Items = {"COM1", "COM2"}}));
    EXPECT_EQ(StyleOf(combo.Handle()) & 3, CBS_DROPDOWN);
    EXPECT_EQ(combo.Count(), 2);
    EXPECT_EQ(combo.Item(1), "COM2");

    TSpinEdit spin;
    ASSERT_TRUE(spin.Create({.Parent = p, .Rect = {0, 30, 60, 21}, .Enabled = false},
                            {.Min = 5, .Max = 50, .Step = 5, .Value = 20}));
    EXPECT_EQ(spin.Value(), 20);
    spin.SetValue(99);
    EXPECT_EQ(spin.Value(), 50);
    // The up-down control follows the edit box's state.
    EXPECT_FALSE(IsWindowEnabled(spin.UpDown()));

    TPanel panel;
    ASSERT_TRUE(panel.Create({.Parent = p}, {.BackColor = RGB(1, 2, 3)}));
    EXPECT_EQ(panel.BackColor(), RGB(1, 2, 3));
    EXPECT_EQ(panel.TextColor(), CLR_INVALID);

    TMaskEdit date;
    ASSERT_TRUE(date.Create({.Parent = p, .Text = "310124"},
                            {.Mask = "!99/99/00;1;_", .DateSeparator = '-'}));
    EXPECT_EQ(date.Text(), "31-01-24"); // the text went through the mask
}
