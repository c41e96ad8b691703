#pragma once
#include <windows.h>

#include "dialog/ui/containers_win32.h"

class TMainForm;

// The group " Управление (команды) " of the "Дополнительно" page: the custom commands of
// "CustCmds.ups", run, made, changed and deleted.
class TCommandList {
public:
    explicit TCommandList(TMainForm& main) : main_(main) {}
    bool Create(HWND parent, const TRect& rect);
    // Loads "CustCmds.ups" into the main window's table and the list.
    void Load();
    void OnLinkState(bool up);

private:
    TMainForm& main_;
    TContainer group_;
};
