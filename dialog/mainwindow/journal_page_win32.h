#pragma once
#include "dialog/mainwindow/page_win32.h"

// "Протокол": the monitor's journal, newest first, with live entries at the top.
class TJournalPage : public TPage {
public:
    using TPage::TPage;
    void Load() override;
    // A journal record from the monitor (TD_JOURNAL), copied.
    void AddRecord(const TJournalRecord& record);

protected:
    bool CreateControls() override;

private:
    TContainer group_;
};
