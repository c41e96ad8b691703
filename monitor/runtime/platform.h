#pragma once
#include <cstdint>
#include <string>

class IClock;
class IFileSystem;
class INetServer;
class ISerialPort;

// A window as the monitor addresses it; 0 is no window.
using WindowHandle = std::uintptr_t;

struct Message {
    WindowHandle Window = 0;
    std::uint32_t Msg = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
};

// Message box styles and answers, with the platform's values.
enum : std::uint32_t {
    MBX_OK = 0x0000,
    MBX_YESNO = 0x0004,
    MBX_ICONERROR = 0x0010,
    MBX_ICONQUESTION = 0x0020,
    MBX_ICONEXCLAMATION = 0x0030,
    MBX_SYSTEMMODAL = 0x1000,
};
enum : int { IDX_OK = 1, IDX_YES = 6, IDX_NO = 7 };

// The hidden window and its hand-over of one message at a time to the control loop,
// plus the timer and the messages to other windows (the dialog library's).
class IMessageQueue {
public:
    virtual ~IMessageQueue() = default;
    virtual bool Start() = 0; // creates the window on its own thread
    virtual void Stop() = 0;  // lets every held and later message pass, ends the thread
    virtual WindowHandle Window() = 0;
    virtual bool Take(Message& message) = 0; // the held message, if any; it stays held
    virtual void Release() = 0;              // lets the held message's sender go on
    // After Take found nothing: sleeps until a message is handed over or timeoutMs passes
    // (0xFFFFFFFF: no limit); at once when one is held already. True when one may be there.
    virtual bool WaitForMessage(std::uint32_t timeoutMs) = 0;
    virtual bool StartTimer(std::uint32_t id, std::uint32_t ms) = 0;
    virtual void StopTimer(std::uint32_t id) = 0;
    virtual bool Post(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    virtual std::intptr_t Send(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam,
                               std::intptr_t lParam) = 0;
    // Delivers the calling thread's own pending window messages (used while waiting).
    virtual void PumpCallerMessages() = 0;
};

// Message boxes. Tests answer them from a script; nothing may wait for a person there.
class IDesktop {
public:
    virtual ~IDesktop() = default;
    virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           std::uint32_t type) = 0;
    // Shows the box on a thread of its own and returns once the thread has its arguments.
    // When closed, and owner is given and replyId is not -1, posts UM_MESSAGEBOXDONE.
    virtual bool ShowMessageAsync(WindowHandle owner, const std::string& text,
                                  const std::string& caption, std::uint32_t type, int replyId) = 0;
};

// The notification area icon and its menu.
class ITrayShell {
public:
    virtual ~ITrayShell() = default;
    virtual bool Add(WindowHandle owner, const std::string& icon, const std::string& tip) = 0;
    virtual bool Modify(WindowHandle owner, const std::string& icon, const std::string& tip) = 0;
    virtual void Delete(WindowHandle owner) = 0;
    virtual void CreateMenu() = 0;
    virtual void DestroyMenu() = 0;
    // Shows the menu at the cursor on a short-lived thread; the choice comes back as
    // SYS_COMMAND posted to owner.
    virtual void ShowMenu(WindowHandle owner) = 0;
};

// Power, hibernation and program start, used by the actions.
class IPower {
public:
    virtual ~IPower() = default;
    virtual bool ExitWindowsWithPrivilege(std::uint32_t flags) = 0;
    virtual bool Hibernate() = 0;
    virtual void ShellOpen(const std::string& program, const std::string& arguments) = 0;
};

// The dialog library, loaded while the user wants to see it.
class IDialogLibrary {
public:
    virtual ~IDialogLibrary() = default;
    virtual bool Load(const std::string& fileName) = 0; // false also without CreateDialogForm
    virtual void CreateDialogForm(WindowHandle monitorWindow) = 0;
    virtual void DestroyDialogForm() = 0;
    virtual void Free() = 0;
};

// Everything the monitor reaches the system through.
struct TPlatform {
    IClock& Clock;
    IFileSystem& Files;
    ISerialPort& Port;
    IMessageQueue& Queue;
    IDesktop& Desktop;
    ITrayShell& Tray;
    IPower& Power;
    IDialogLibrary& DialogLibrary;
    std::string ProgramDir;          // directory of the executable, with its trailing separator
    INetServer* NetServer = nullptr; // the network UPS server; none: the setting does nothing
};

// ExitWindowsEx flags used by the actions.
enum : std::uint32_t {
    EXIT_SHUTDOWN = 0x01,
    EXIT_REBOOT = 0x02,
    EXIT_FORCE = 0x04,
    EXIT_POWEROFF = 0x08,
};
