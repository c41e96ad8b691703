#pragma once
#include <cstdint>
#include <string_view>

#include "dialog/mainwindow/command_queue.h"
#include "dialog/mainwindow/page_win32.h"
#include "dialog/ui/rich_edit_win32.h"

struct TAnswerLine;

// "Терминал": raw protocol text typed by the user and the UPS's answers. Every command
// the window sends to the monitor goes through here (RunCommand), one at a time, and
// every answer lands here.
class TTerminalPage : public TPage {
public:
    using TPage::TPage;
    void Load() override; // the history of "Term.ups"
    void OnLinkState(bool up) override;
    // The monitor's answer to a command (TD_ANSWER), or none (TD_NOANSWER). Either ends
    // the waiting, whatever else happens.
    void OnAnswer(const char* text);
    void OnNoAnswer();
    // A command's text shown as a line of its own, before its answer.
    void AppendLine(std::string_view text);
    // At the final close: the contents into "Term.ups".
    void SaveHistory();

    // Hands a command to the monitor (UM_RUNCOMMAND with the command text buffer, then
    // UM_REFRESH), or keeps it until the command before it is answered. With echo the
    // text is shown as it goes out; with wait the main window waits for the answer.
    // False when it could not be taken.
    bool RunCommand(std::uint8_t code, std::string_view text, bool echo, bool wait);

protected:
    bool CreateControls() override;

private:
    TEnterKey OnEnterKey();
    void ShowAnswer(const TAnswerLine& line);
    void Send(const TQueuedCommand& command);
    void SendNext();
    void AppendColored(std::string_view text, std::uint32_t color);

    TContainer group_;
    TRichEdit text_;
    TCommandQueue queue_;
};
