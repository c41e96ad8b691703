#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "common/record_list.h"
#include "common/records.h"
#include "dialog/module/ini_file.h"
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
class TWaitForm;

// The pages in the order of their tabs.
enum class TPageIndex { State, Extra, Events, Journal, Terminal, Settings, About };
inline constexpr int PageCount = 7;

// The main window: the user interface's one top-level window. It shows what the monitor
// reports in UM_TODIALOG and posts every request to the monitor's window; it never closes
// on its own but asks the monitor to end it (UM_DIALOGCLOSED), and closes for good only on
// UM_FINALCLOSE. It also offers the services that the library's other windows use.
class TMainForm : public TForm {
public:
    TMainForm();
    ~TMainForm() override;

    // The creation steps: frame and pages, the data files, the settings, the meters.
    bool Create();
    void SetMonitorWindow(HWND monitor);

    // ---- The monitor
    bool MonitorKnown() const { return monitor_ != nullptr; }
    HWND MonitorWindow() const { return monitor_; }
    // Skipped while the monitor's window is unknown.
    void PostToMonitor(UINT msg, WPARAM wParam, LPARAM lParam) const;
    // The command text that UM_RUNCOMMAND points to (255 characters and a terminator);
    // it lives as long as the window. The text is cut to 255 characters.
    static constexpr std::size_t CommandBufferSize = 256;
    void SetCommandText(std::string_view text);
    const char* CommandText() const { return commandBuffer_.data(); }
    LPARAM CommandTextAddress() const { return reinterpret_cast<LPARAM>(commandBuffer_.data()); }

    // ---- Records last received, copied whole.
    const TUpsStatus& LastStatus() const { return status_; }
    const TUpsInfo& LastInfo() const { return info_; }
    const TUpsRating& LastRating() const { return rating_; }
    bool LinkUp() const { return linkUp_; }

    // ---- Files and settings
    const std::string& ProgramDir() const { return programDir_; }
    std::string FilePath(std::string_view name) const { return programDir_ + std::string(name); }
    TIniFile& Settings() { return *settings_; }
    // The custom commands, as the command list on the "Дополнительно" page keeps them; the
    // event editor offers them.
    RecordList<TCustomCommand>& Commands() { return commands_; }

    // ---- Windows over the main window
    // Runs a window through the modal run loop with the main window as its owner.
    int RunModalOver(TForm& form);
    // A message box owned by the main window; returns the button pressed.
    int ShowMessageBox(std::string_view text, std::string_view caption, UINT type);
    // The wait window shown while a command waits for its answer.
    void BeginWait(bool disableMain, const char* text = nullptr);
    bool Waiting() const;
    void EndWait();

    // ---- State
    void SetCaption(std::string_view caption);
    bool ClosingForGood() const { return closingForGood_; }
    int CurrentPage() const;
    void ShowPage(TPageIndex page);

    // ---- Pages, for each other
    TStatePage& StatePage() { return *state_; }
    TExtraPage& ExtraPage() { return *extra_; }
    TEventsPage& EventsPage() { return *events_; }
    TJournalPage& JournalPage() { return *journal_; }
    TTerminalPage& TerminalPage() { return *terminal_; }
    TSettingsPage& SettingsPage() { return *settings_page_; }
    TAboutPage& AboutPage() { return *about_; }

    // A request for help: kind 8 (context pop-up) with a topic opens the manual there;
    // every other request is swallowed.
    void HelpRequest(int kind, int topic);

    void Close() override;
    bool HandleDialogKey(const MSG& msg) override;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void ToDialog(WPARAM code, LPARAM data);
    void ShowInfo(const TUpsInfo& info);
    void ShowRating(const TUpsRating& rating);
    void ShowLinkState(LPARAM state);
    void ForEachPage(void (*action)(TPage&));

    HWND monitor_ = nullptr;
    std::string programDir_;
    std::unique_ptr<TIniFile> settings_;
    std::array<char, CommandBufferSize> commandBuffer_{};
    TUpsStatus status_{};
    TUpsInfo info_{};
    TUpsRating rating_{};
    bool linkUp_ = true;
    bool closingForGood_ = false;
    bool created_ = false; // the monitor's messages are taken only once every page exists
    RecordList<TCustomCommand> commands_;

    TTabControl tabs_;
    std::unique_ptr<TStatePage> state_;
    std::unique_ptr<TExtraPage> extra_;
    std::unique_ptr<TEventsPage> events_;
    std::unique_ptr<TJournalPage> journal_;
    std::unique_ptr<TTerminalPage> terminal_;
    std::unique_ptr<TSettingsPage> settings_page_;
    std::unique_ptr<TAboutPage> about_;
    std::array<TPage*, PageCount> pages_{};
    std::unique_ptr<TWaitForm> wait_;
};
