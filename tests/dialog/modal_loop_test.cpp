#include <windows.h>

#include <gtest/gtest.h>

#include "dialog/module/modal_loop_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"

namespace {

// A small dialog: an edit box, OK (default) and Cancel, over an owner window.
class TTestDialog : public TForm {
public:
    bool Create(HWND owner) {
        if (!CreateForm({.Caption = "Test",
                         .ClientWidth = 200,
                         .ClientHeight = 80,
                         .Border = TFormBorder::Dialog,
                         .Owner = owner}))
            return false;
        if (!Edit.Create({.Parent = Handle(), .Rect = {8, 8, 180, 21}}) ||
            !Ok.Create({.Parent = Handle(), .Rect = {8, 40, 75, 25}, .Text = "OK"},
                       {.Kind = TButtonKind::Default}) ||
            !CancelButton.Create({.Parent = Handle(), .Rect = {100, 40, 75, 25}, .Text = "Cancel"},
                                 {.Kind = TButtonKind::Cancel}))
            return false;
        Ok.OnClick = [this] { SetModalResult(MR_OK); };
        CancelButton.OnClick = [this] { SetModalResult(MR_CANCEL); };
        return true;
    }
    TEdit Edit;
    TButton Ok, CancelButton;
};

struct TOwner {
    TOwner() {
        Form.CreateForm({.Caption = "Owner"});
        Form.Show(true);
    }
    TForm Form;
};

void PostKey(HWND hwnd, UINT vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageA(hwnd, WM_KEYUP, vk, 1 | (1u << 30) | (1u << 31));
}

} // namespace

TEST(ModalLoop, TabCharactersNeverReachAControl) {
    TOwner owner;
    TTestDialog dialog;
    ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
    for (char c : {'a', '\t', 'b', '\t'})
        PostMessageA(dialog.Edit.Handle(), WM_CHAR, static_cast<unsigned char>(c), 1);
    PostMessageA(dialog.Ok.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_OK);
    EXPECT_EQ(dialog.Edit.Text(), "ab");
}

TEST(ModalLoop, TheOwnerIsDisabledWhileItRunsAndEnabledAfterAnyEnd) {
    TOwner owner;
    {
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        bool disabledDuring = false;
        dialog.Ok.OnClick = [&] {
            disabledDuring = !IsWindowEnabled(owner.Form.Handle());
            dialog.SetModalResult(MR_OK);
        };
        PostMessageA(dialog.Ok.Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_OK);
        EXPECT_TRUE(disabledDuring);
        EXPECT_TRUE(IsWindowEnabled(owner.Form.Handle()));
        EXPECT_FALSE(dialog.Visible());
    }
    {
        // A close request rather than a result: Cancel, and the owner comes back all the same.
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_CANCEL);
        EXPECT_TRUE(IsWindowEnabled(owner.Form.Handle()));
        EXPECT_EQ(GetForegroundWindow(), owner.Form.Handle());
    }
}

TEST(ModalLoop, EnterPressesTheDefaultButtonAndEscapeTheCancelButton) {
    TOwner owner;
    {
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        dialog.Edit.Focus();
        PostKey(dialog.Edit.Handle(), VK_RETURN);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_OK);
    }
    {
        TTestDialog dialog;
        ASSERT_TRUE(dialog.Create(owner.Form.Handle()));
        dialog.Edit.Focus();
        PostKey(dialog.Edit.Handle(), VK_ESCAPE);
        EXPECT_EQ(RunModal(dialog, owner.Form.Handle()), MR_CANCEL);
    }
}
