#pragma once
#include <cstdint>
#include <string_view>

#include "dialog/mainwindow/monitor_link.h"
#include "dialog/mainwindow/page_win32.h"
#include "dialog/ui/rich_edit_win32.h"

// "Терминал": raw protocol text typed by the user and the UPS's answers. The commands of
// the window go to the monitor through the link; their echo and answers land here.
class TTerminalPage : public TPage, public ICommandOutput {
public:
    using TPage::TPage;
    void Load() override; // the history of "Term.ups"
    void OnLinkState(bool up) override;
    // At the final close: the contents into "Term.ups".
    void SaveHistory();

    // ICommandOutput: a command's text as a line of its own, before its answer; an answer.
    void Echo(std::string_view text) override;
    void ShowAnswer(const TAnswerLine& line) override;

protected:
    bool CreateControls() override;

private:
    TEnterKey OnEnterKey();
    void AppendColored(std::string_view text, std::uint32_t color);

    TContainer group_;
    TRichEdit text_;
};
