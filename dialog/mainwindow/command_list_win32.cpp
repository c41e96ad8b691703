#include "dialog/mainwindow/command_list_win32.h"

#include "common/files.h"
#include "dialog/mainwindow/main_form_win32.h"

bool TCommandList::Create(HWND parent, const TRect& rect) {
    TContainerArgs g;
    g.Parent = parent;
    g.Rect = rect;
    g.Caption = " Управление (команды) ";
    g.Frame = true;
    return group_.Create(g);
}

void TCommandList::Load() {
    // A missing or unreadable file leaves an empty table; the first new command makes it.
    main_.Commands().Load(SystemFiles(), main_.FilePath("CustCmds.ups"));
}
void TCommandList::OnLinkState(bool) {}
