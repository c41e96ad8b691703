#pragma once
#include <windows.h>

#include <string>
#include <vector>

// One item of a context menu; identifier 0 makes a separator.
struct TMenuItem {
    int Id = 0;
    std::string Caption;
    bool Enabled = true;
};

// Shows a context menu at a screen point on behalf of a window and waits for the choice:
// the chosen item's identifier, 0 when the menu was closed without one. Nothing is posted:
// the caller acts on the result.
int TrackPopup(HWND owner, POINT at, const std::vector<TMenuItem>& items);
