#include "dialog/mainwindow/page_win32.h"

bool TPage::Create(HWND tabControl, const TRect& area) {
    TContainerArgs args;
    args.Parent = tabControl;
    args.Rect = area;
    args.Visible = false;
    args.Font = reinterpret_cast<HFONT>(SendMessageA(GetParent(tabControl), WM_GETFONT, 0, 0));
    return container_.Create(args) && CreateControls();
}
