#include "dialog/mainwindow/page_win32.h"

bool TPage::Create(HWND tabControl, const TRect& area) {
    const HFONT font =
        reinterpret_cast<HFONT>(SendMessageA(GetParent(tabControl), WM_GETFONT, 0, 0));
    return container_.Create(
               {.Parent = tabControl, .Rect = area, .Visible = false, .Font = font}) &&
           CreateControls();
}
