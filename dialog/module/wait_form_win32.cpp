#include "dialog/module/wait_form_win32.h"

bool TWaitForm::Create(HWND owner) {
    TFormArgs args;
    args.Caption = "Ожидайте!";
    args.ClientWidth = Width;
    args.ClientHeight = Height;
    args.Border = TFormBorder::None;
    args.Place = TFormPlace::Given;
    args.Owner = owner;
    args.ToolWindow = true;
    RECT main{};
    GetWindowRect(owner, &main);
    // Centred over the main window, halves rounded toward zero.
    args.Left = main.left + (main.right - main.left) / 2 - Width / 2;
    args.Top = main.top + (main.bottom - main.top) / 2 - Height / 2;
    if (!CreateForm(args)) return false;
    bold_ = MakeFont({"MS Sans Serif", 8, true, false});
    TPanelArgs p;
    p.Parent = Handle();
    p.Rect = {0, 0, Width, Height};
    p.Text = "Ожидание ответа...";
    p.Bevel = TBevel::Raised;
    p.BackColor = GetSysColor(COLOR_APPWORKSPACE);
    p.Font = bold_.Get();
    return panel_.Create(p);
}
