#pragma once
#include <windows.h>

#include <commctrl.h>

#include "dialog/mainwindow/journal_view.h"
#include "dialog/mainwindow/page_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/list_view_win32.h"

// "Протокол": the monitor's journal, newest first, with live entries at the top. The list
// is virtual over the rows held in memory, so a journal of years opens and grows as fast
// as a short one.
class TJournalPage : public TPage {
public:
    using TPage::TPage;
    ~TJournalPage() override;
    // Reads "Kovrin.lgb" into the list.
    void Load() override;
    // A journal record from the monitor (TD_JOURNAL), copied.
    void AddRecord(const TJournalRecord& record);

protected:
    bool CreateControls() override;

private:
    void Reload();
    void ShowRowCount();
    void ClearClick();
    void DiagramClick();

    TContainer group_;
    TListView list_;
    TLabel filterLabel_;
    TComboBox filter_;
    TButton clear_, diagram_;
    HIMAGELIST images_ = nullptr;
    TJournalRows rows_;
};
