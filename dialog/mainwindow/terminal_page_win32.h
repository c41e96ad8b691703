#pragma once
#include <string_view>

#include "dialog/mainwindow/page_win32.h"

// "Терминал": raw protocol text typed by the user and the UPS's answers.
class TTerminalPage : public TPage {
public:
    using TPage::TPage;
    void Load() override; // the history of "Term.ups"
    void OnLinkState(bool up) override;
    // The monitor's answer to a command (TD_ANSWER), or none (TD_NOANSWER).
    void OnAnswer(const char* text);
    void OnNoAnswer();
    // A command's text shown as a line, before its answer.
    void AppendLine(std::string_view text);
    // At the final close: the contents into "Term.ups".
    void SaveHistory();

protected:
    bool CreateControls() override;

private:
    TContainer group_;
};
