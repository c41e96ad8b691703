#pragma once
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "common/records.h"
#include "dialog/eventeditor/event_rules.h"
#include "dialog/ui/containers_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"

class TWindowHost;

// "Редактор событий": the modal dialog in which one event rule is made or changed. The
// events page creates it for one use, loads a rule into it when changing one, runs it
// over the main window and reads the record back after OK.
class TEventForm : public TForm {
public:
    explicit TEventForm(TWindowHost& host);
    ~TEventForm() override;

    // The window with the custom commands of the main window in its list, and a zeroed
    // record.
    bool Create();
    void LoadRule(const TEventRule& rule);
    // Modal over the main window: MR_OK or MR_CANCEL.
    int ShowModal();
    // The record as OK left it.
    const TEventRule& Rule() const { return rule_; }

private:
    bool CreateSourceArea();
    bool CreateActionArea();
    bool AddActionField(int action, const char* label, TEdit* edit, int editWidth);
    void ShowPages();
    TEventFields ReadFields() const;
    void ApplyFields(const TEventFields& fields);
    void VariableChanged();
    void OkClick();
    void BrowseClick();
    bool MacroMenu(TEdit& edit, POINT at);

    TWindowHost& host_;
    TEventRule rule_{};
    std::vector<std::string> commandItems_;
    int shownVariable_ = -1;

    TLabel sourceLabel_, actionLabel_;
    TComboBox source_, action_;
    // The pages of the parameters: for the source none or the expression, for the action
    // none or one of the four fields.
    TContainer sourceNone_, expression_;
    TLabel sourceNoneText_;
    TComboBox variable_, operator_;
    TEdit number_;
    TContainer actionNone_;
    TLabel actionNoneText_;
    std::array<TContainer, 4> actionPages_; // actions 6-9
    std::array<TLabel, 4> actionLabels_;
    TEdit message_, commandLine_, journal_;
    TButton browse_;
    TComboBox upsCommand_;
    TButton ok_, cancel_;
};
