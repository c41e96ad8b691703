#include "dialog/mainwindow/command_list_win32.h"

#include "dialog/mainwindow/main_form_win32.h"

bool TCommandList::Create(HWND parent, const TRect& rect) {
    TContainerArgs g;
    g.Parent = parent;
    g.Rect = rect;
    g.Caption = " Управление (команды) ";
    g.Frame = true;
    return group_.Create(g);
}

void TCommandList::Load() {}
void TCommandList::OnLinkState(bool) {}
