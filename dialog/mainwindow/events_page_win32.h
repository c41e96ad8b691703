#pragma once
#include "dialog/mainwindow/page_win32.h"

// "События": the event rules of "Events.ups" and what can be done with them.
class TEventsPage : public TPage {
public:
    using TPage::TPage;
    void Load() override;

protected:
    bool CreateControls() override;

private:
    TContainer group_;
};
