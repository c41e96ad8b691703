#pragma once
#include "dialog/mainwindow/event_table.h"
#include "dialog/mainwindow/page_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/glyphs_win32.h"
#include "dialog/ui/list_view_win32.h"

// "События": the event rules of "Events.ups" and what can be done with them. Every change
// rewrites the file, reads it back and tells the monitor to reload its rules.
class TEventsPage : public TPage {
public:
    using TPage::TPage;
    // Reads "Events.ups" (at most 50 rules) and shows them.
    void Load() override;

protected:
    bool CreateControls() override;

private:
    void Fill();
    void ChangeSequence();
    void UpdateButtons();
    // The selected row's identifier as its text reads; the fallback when it is no number
    // or no row is selected.
    std::int32_t SelectedId(std::int32_t fallback) const;
    void SelectRule(std::size_t index, std::int32_t id);

    void TestClick();
    void MoveClick(bool up);
    void NewClick();
    void EditClick();
    void DeleteClick();

    TContainer group_;
    TListView list_;
    TButton test_, up_, down_, new_, delete_, edit_;
    TIconHandle upIcon_, downIcon_;
    TEventTable table_;
};
