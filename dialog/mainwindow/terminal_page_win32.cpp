#include "dialog/mainwindow/terminal_page_win32.h"

#include "dialog/mainwindow/main_form_win32.h"

bool TTerminalPage::CreateControls() {
    TContainerArgs g;
    g.Parent = Parent();
    g.Rect = {0, 0, 473, 221};
    g.Caption = " Терминал ";
    g.Frame = true;
    return group_.Create(g);
}

void TTerminalPage::Load() {}
void TTerminalPage::OnLinkState(bool) {}
void TTerminalPage::OnAnswer(const char*) {
    main_.EndWait();
}
void TTerminalPage::OnNoAnswer() {
    main_.EndWait();
}
void TTerminalPage::AppendLine(std::string_view) {}
void TTerminalPage::SaveHistory() {}
