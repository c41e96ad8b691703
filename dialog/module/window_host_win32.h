#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "common/record_list.h"
#include "common/records.h"
#include "dialog/module/ini_file.h"

class TForm;

// What the pages and editors of the library need of the window they live in: the owner
// of their modal windows and message boxes, the settings file, the program directory and
// the custom command table (which the command list keeps and the event editor offers).
//
// The owner is disabled while anything holds it (a modal window, a message box, the wait
// window) and enabled only when the last hold ends, so that the end of one never brings the
// window alive under another.
class TWindowHost {
public:
    explicit TWindowHost(std::string programDir);
    TWindowHost(const TWindowHost&) = delete;
    TWindowHost& operator=(const TWindowHost&) = delete;

    void SetOwner(HWND owner) { owner_ = owner; }
    HWND Owner() const { return owner_; }

    // Runs a window through the modal run loop over the owner; returns its modal result.
    int RunModal(TForm& form);
    // A message box owned by the owner; returns the button pressed. A monitor waiting in a
    // send to this thread (a status, a close request) is freed first: it must go on
    // polling while the box waits for the user.
    int ShowMessageBox(std::string_view text, std::string_view caption, UINT type);
    void SetCaption(std::string_view caption);
    bool OwnerVisible() const { return owner_ && IsWindowVisible(owner_); }
    // The user manual at a topic, as the main window opens it.
    std::function<void(int topic)> OnHelp;
    void ShowHelp(int topic) const {
        if (OnHelp) OnHelp(topic);
    }

    // Held: the owner disabled until every hold is released.
    void Hold();
    void Release();

    const std::string& ProgramDir() const { return programDir_; }
    std::string FilePath(std::string_view name) const { return programDir_ + std::string(name); }
    // "Kovrin.ini", open while the main window exists.
    TIniFile& Settings() { return settings_; }
    RecordList<TCustomCommand>& Commands() { return commands_; }

private:
    std::string programDir_;
    TIniFile settings_;
    RecordList<TCustomCommand> commands_;
    HWND owner_ = nullptr;
    int holds_ = 0;
};

// The directory of the running program (the monitor), with its trailing separator.
std::string ProgramDirectory();
// The running program's full path.
std::string ProgramPath();
