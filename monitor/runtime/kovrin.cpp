#include "monitor/runtime/kovrin.h"

#include "common/clock.h"
#include "common/files.h"
#include "common/messages.h"
#include "monitor/app/data_files.h"

TKovrin::TKovrin(TPlatform& platform)
    : platform_(platform), deviceLog_(platform.Files, platform.Clock), stats_(platform.Files) {
    // Numbers are formatted and parsed without the locale everywhere, so there is no
    // process-wide decimal separator to set.
    const DataFilePaths paths = MakeDataFilePaths(platform_.ProgramDir);
    eventsPath_ = paths.Events;
    commandsPath_ = paths.Commands;
    journalPath_ = paths.Journal;
    statsPath_ = paths.Stats;
    rules_.Clear();
    commands_.Clear();
    fatal_ = CheckDataFiles(platform_.Files, platform_.Desktop, paths);
    StartWindowThread(); // without the window the monitor still runs, deaf to messages
    AddTrayIcon();
    platform_.Tray.CreateMenu();
}

void TKovrin::EndRunElsewhere() {
    if (!running_.load()) return;
    // Keep this thread's own windows alive while waiting.
    platform_.Queue.Post(window_, UM_QUIT, 0, 0);
    while (running_.load()) {
        platform_.Clock.Sleep(1);
        platform_.Queue.PumpCallerMessages();
    }
}

TKovrin::~TKovrin() {
    EndRunElsewhere();
    StopNetServer(); // its thread uses the exchange and posts to the window
    platform_.Tray.DestroyMenu();
    RemoveTrayIcon();
    StopWindowThread();
}

bool TKovrin::Open() {
    if (OnLoadSettings) OnLoadSettings();
    BeginDeviceLog();
    return true;
}

void TKovrin::Close() {
    EndDeviceLog();
}

bool TKovrin::StartWindowThread() {
    const bool ok = platform_.Queue.Start();
    window_ = ok ? platform_.Queue.Window() : 0;
    return ok && window_ != 0;
}

void TKovrin::StopWindowThread() {
    platform_.Queue.Stop();
}

bool TKovrin::TakeMessage(Message& message) {
    return platform_.Queue.Take(message);
}

void TKovrin::ReleaseMessage() {
    platform_.Queue.Release();
}

void TKovrin::WaitForMessage(std::uint32_t timeoutMs) {
    platform_.Queue.WaitForMessage(timeoutMs);
}

bool TKovrin::ShowMessageAsync(WindowHandle owner, const std::string& text,
                               const std::string& caption, std::uint32_t type, int replyId) {
    return platform_.Desktop.ShowMessageAsync(owner, text, caption, type, replyId);
}
