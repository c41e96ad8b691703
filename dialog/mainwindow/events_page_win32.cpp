#include "dialog/mainwindow/events_page_win32.h"

bool TEventsPage::CreateControls() {
    TContainerArgs g;
    g.Parent = Parent();
    g.Rect = {0, 0, 473, 193};
    g.Caption = " События ";
    g.Frame = true;
    return group_.Create(g);
}

void TEventsPage::Load() {}
