#pragma once
#include <windows.h>

#include <array>

#include "common/records.h"
#include "dialog/commands/command_rules.h"
#include "dialog/ui/containers_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"

// "Редактор команд": one custom command, edited modally over the main window. The caller
// creates it (the record all zero), loads a record when changing one, runs it through
// the modal run loop, and takes Command() after OK.
class TCmdForm : public TForm {
public:
    bool Create(HWND owner);
    void LoadCommand(const TCustomCommand& record);
    const TCustomCommand& Command() const { return record_; }

private:
    TCmdFields ReadFields() const;
    void ShowFields(const TCmdFields& fields);
    void ShowPage(int page);
    void OkClick();
    bool CreatePages();

    TCustomCommand record_{};
    TLabel descriptionLabel_, kindLabel_;
    TEdit description_;
    TComboBox kind_;
    std::array<TContainer, CmdKindCount> pages_;
    std::array<TLabel, CmdKindCount> noParameters_; // on the pages without parameters
    TLabel minutesLabel_, minutesUnit_, delayLabel_, delayUnit_, offLabel_, onLabel_, textLabel_;
    TEdit minutes_, switchOn_, commandText_;
    TComboBox delay_, restoreDelay_;
    TButton ok_, cancel_;
};
