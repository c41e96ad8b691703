#pragma once
#include <windows.h>

#include <array>
#include <memory>

#include "common/records.h"
#include "dialog/mainwindow/monitor_link.h"
#include "dialog/mainwindow/monitor_link_win32.h"
#include "dialog/module/window_host_win32.h"
#include "dialog/ui/controls_win32.h"
#include "dialog/ui/form_win32.h"

class TPage;
class TStatePage;
class TExtraPage;
class TEventsPage;
class TJournalPage;
class TTerminalPage;
class TSettingsPage;
class TAboutPage;

inline constexpr int PageCount = 7;

// The main window: the user interface's one top-level window. It shows what the monitor
// reports in UM_TODIALOG and hands it to its pages; the pages ask the monitor for work
// through the monitor link and reach the window through the host. It never closes on its
// own but asks the monitor to end it (UM_DIALOGCLOSED), and closes for good only on
// UM_FINALCLOSE.
class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    // The creation steps: frame and pages, the data files, the settings, the meters.
    bool Create();
    void SetMonitorWindow(HWND monitor) { monitor_.SetWindow(monitor); }

    void Close() override;
    bool HandleDialogKey(const MSG& msg) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ToDialog(WPARAM code, LPARAM data);
    void ShowRating(const TUpsRating& rating);
    void ShowLinkState(LPARAM state);
    // A request for help: kind 8 (context pop-up) with a topic opens the manual there;
    // every other request is swallowed.
    void HelpRequest(int kind, int topic);
    int CurrentPage() const { return tabs_.Selected(); }

    TWindowHost host_;
    TMonitorWindow monitor_;
    TWaitIndicator wait_;
    TMonitorLink link_;
    TUpsStatus status_{};
    TUpsInfo info_{};
    TUpsRating rating_{};
    bool closingForGood_ = false;
    bool created_ = false; // the monitor's messages are taken only once every page exists

    TTabControl tabs_;
    std::unique_ptr<TStatePage> state_;
    std::unique_ptr<TExtraPage> extra_;
    std::unique_ptr<TEventsPage> events_;
    std::unique_ptr<TJournalPage> journal_;
    std::unique_ptr<TTerminalPage> terminal_;
    std::unique_ptr<TSettingsPage> settings_;
    std::unique_ptr<TAboutPage> about_;
    std::array<TPage*, PageCount> pages_{};
};
