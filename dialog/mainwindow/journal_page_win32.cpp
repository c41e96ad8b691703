#include "dialog/mainwindow/journal_page_win32.h"

bool TJournalPage::CreateControls() {
    TContainerArgs g;
    g.Parent = Parent();
    g.Rect = {0, 0, 473, 193};
    g.Caption = " Протокол ";
    g.Frame = true;
    return group_.Create(g);
}

void TJournalPage::Load() {}
void TJournalPage::AddRecord(const TJournalRecord&) {}
