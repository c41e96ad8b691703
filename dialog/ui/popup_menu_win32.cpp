#include "dialog/ui/popup_menu_win32.h"

int TrackPopup(HWND owner, POINT at, const std::vector<TMenuItem>& items) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return 0;
    for (const TMenuItem& item : items) {
        if (item.Id == 0)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING | (item.Enabled ? MF_ENABLED : MF_GRAYED),
                        static_cast<UINT_PTR>(item.Id), item.Caption.c_str());
    }
    const int chosen = static_cast<int>(
        TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON | TPM_LEFTALIGN, at.x,
                         at.y, owner, nullptr));
    DestroyMenu(menu);
    return chosen;
}
