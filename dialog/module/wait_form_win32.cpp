#include "dialog/module/wait_form_win32.h"

bool TWaitForm::Create(HWND owner) {
    RECT main{};
    GetWindowRect(owner, &main);
    // Centred over the main window, halves rounded toward zero.
    if (!CreateForm({.Caption = "Ожидайте!",
                     .ClientWidth = Width,
                     .ClientHeight = Height,
                     .Border = TFormBorder::None,
                     .Place = TFormPlace::Given,
                     .Left = main.left + (main.right - main.left) / 2 - Width / 2,
                     .Top = main.top + (main.bottom - main.top) / 2 - Height / 2,
                     .Owner = owner,
                     .ToolWindow = true}))
        return false;
    bold_ = MakeFont({"MS Sans Serif", 8, true, false});
    return panel_.Create({.Parent = Handle(),
                          .Rect = {0, 0, Width, Height},
                          .Text = "Ожидание ответа...",
                          .Font = bold_.Get()},
                         {.Bevel = TBevel::Raised, .BackColor = GetSysColor(COLOR_APPWORKSPACE)});
}
