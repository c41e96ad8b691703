#pragma once
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/messages.h"
#include "common/records.h"

// The test program plays the monitor: a window of its own that records what the library
// posts to it, the library loaded from the program directory as the monitor loads it,
// and ways to read what the library's windows show and to act on them as a user would.
// The library's windows live on its own thread; everything here works across threads.

namespace dialogtest {

using namespace std::chrono_literals;
using Ms = std::chrono::milliseconds;

struct TPosted {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

// The monitor's hidden window, on the test's thread.
class TFakeMonitor {
public:
    TFakeMonitor();
    ~TFakeMonitor();
    HWND Handle() const { return hwnd_; }
    // Handles the test thread's messages for a while.
    void Pump(Ms duration = 0ms);
    // Waits (pumping) until a message with that number has been posted; its record, or
    // false after the time-out.
    bool WaitFor(UINT msg, TPosted* found = nullptr, Ms timeout = 5000ms);
    std::vector<TPosted> Posted(UINT msg) const;
    const std::vector<TPosted>& AllPosted() const { return posted_; }
    void Clear() { posted_.clear(); }

private:
    static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    std::vector<TPosted> posted_;
};

// DIALOG.DLL, loaded and freed as the monitor does it.
class TLibrary {
public:
    ~TLibrary() { Free(); }
    bool Load();
    void Free();
    void Create(HWND monitor);
    void Destroy();
    HMODULE Module() const { return module_; }

private:
    HMODULE module_ = nullptr;
    void(WINAPI* create_)(HWND) = nullptr;
    void(WINAPI* destroy_)() = nullptr;
};

// The program directory (where the library reads and writes its files) and its files.
std::string ProgramDir();
std::string ProgramFile(const std::string& name);
void RemoveDataFiles(); // Kovrin.ini, Events.ups, CustCmds.ups, Kovrin.lgb, Stat.ups, Term.ups
void WriteFile(const std::string& name, const std::string& bytes);
std::string ReadFile(const std::string& name); // empty when missing
bool FileExists(const std::string& name);

// One opening of the window: the library loaded, CreateDialogForm called, the main
// window announced with UM_DIALOGREADY. The destructor closes it the monitor's way.
class TSession {
public:
    TSession();
    ~TSession();
    bool Open(Ms timeout = 10000ms);
    void Close(); // DestroyDialogForm, then the library freed
    HWND Main() const { return main_; }
    TFakeMonitor& Monitor() { return monitor_; }
    TLibrary& Library() { return library_; }

    // The monitor's sends and posts to the main window.
    void SendStatus(const TUpsStatus& status);
    void SendInfo(const TUpsInfo& info);
    void SendRating(const TUpsRating& rating);
    void SendJournal(const TJournalRecord& record);
    void SendAnswer(const char* text);
    void SendNoAnswer();
    void PostLinkState(int state);
    // Waits until the window's thread has handled everything sent or posted before.
    void Sync();

private:
    TFakeMonitor monitor_;
    TLibrary library_;
    HWND main_ = nullptr;
};

// ---- Reading and driving windows

std::string Text(HWND hwnd);
std::string ClassOf(HWND hwnd);
// The first descendant (depth first, in creation order) whose text is exactly `text`,
// optionally of a class; null when none.
HWND FindByText(HWND root, const std::string& text, const char* className = nullptr);
HWND FindById(HWND root, int id);
std::vector<HWND> Descendants(HWND root, const char* className = nullptr);
// The top-level windows of the library's thread, other than `except` (its boxes, editors).
std::vector<HWND> ThreadWindows(HWND anyWindowOfThread, bool visibleOnly = true);
// Waits for a visible top-level window of that thread with this class ("#32770" for a
// message box) or caption.
HWND WaitForWindow(HWND anyWindowOfThread, const char* className, const char* caption,
                   Ms timeout = 5000ms);

// A message box: its caption and its message text.
struct TBox {
    HWND Hwnd = nullptr;
    std::string Caption, Message;
};
TBox WaitForBox(HWND anyWindowOfThread, Ms timeout = 5000ms);
bool PressBoxButton(const TBox& box, int id); // IDOK, IDYES, IDNO...
// Waits until the thread has no message box open.
bool WaitNoBox(HWND anyWindowOfThread, Ms timeout = 5000ms);

// Clicks as the user does (posted, so that a box the click opens does not hold the test).
void Click(HWND button);
void SelectTab(HWND main, int index);
int SelectedTab(HWND main);
void TypeText(HWND control, const std::string& text); // WM_CHAR per character, posted
void PressKey(HWND control, UINT vk);                 // WM_KEYDOWN and WM_KEYUP, posted
// The colour the window shows at a point of its client area (after it has painted).
COLORREF PixelAt(HWND hwnd, int x, int y);

// A list view's cells.
int ListRows(HWND list);
std::string ListCell(HWND list, int row, int column);

// Keeps pumping the monitor's messages while waiting for a condition.
bool WaitUntil(const std::function<bool()>& condition, Ms timeout = 5000ms,
               TFakeMonitor* pump = nullptr);

// Records for the monitor's messages.
TUpsStatus MakeStatus(float input = 230, float output = 229, float battery = 13.6f,
                      float frequency = 50, float temperature = 31, std::uint8_t load = 25,
                      std::uint8_t charge = 90, std::uint16_t flags = 0);
TUpsInfo MakeInfo(const std::string& maker, const std::string& model, const std::string& version);
TUpsRating MakeRating(float voltage = 220, float battery = 12, float frequency = 50,
                      std::int32_t current = 3);

} // namespace dialogtest
