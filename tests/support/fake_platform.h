#pragma once
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/files.h"
#include "fake_clock.h"
#include "fake_serial_port.h"
#include "monitor/runtime/platform.h"

// The hidden window as a plain queue: a test posts messages, the control loop takes them.
// Sends to other windows (the dialog library's) are recorded.
class FakeQueue final : public IMessageQueue {
public:
    struct Sent {
        WindowHandle to;
        std::uint32_t msg;
        std::uintptr_t wParam;
        std::intptr_t lParam;
        std::string payload; // bytes behind lParam for UM_TODIALOG sends with an address
    };
    bool startOk = true;
    WindowHandle window = 0x1000;
    std::deque<Message> queue;
    bool held = false;
    int releases = 0;
    std::map<std::uint32_t, std::uint32_t> timers; // id -> period
    std::vector<std::uint32_t> timerStarts;        // periods in order of starting
    std::vector<Sent> sent;                        // to other windows
    std::vector<Message> posted;                   // to other windows
    // Called when the queue is empty and the loop looks for work: a test script.
    std::function<void(FakeQueue&)> onIdle;
    // Called when the loop sleeps for a message with none held: the test moves its time on
    // (at most timeoutMs) and may post. Returns whether a message may be there.
    std::function<bool(FakeQueue&, std::uint32_t timeoutMs)> onWait;
    int waits = 0; // sleeps of the loop, whether or not they waited
    int looks = 0; // calls of Take: the loop's passes

    bool Start() override { return startOk; }
    void Stop() override {}
    WindowHandle Window() override { return startOk ? window : 0; }
    bool Take(Message& m) override {
        ++looks;
        if (held) return false;
        if (queue.empty() && onIdle) onIdle(*this);
        if (queue.empty()) return false;
        m = queue.front();
        queue.pop_front();
        held = true;
        return true;
    }
    void Release() override {
        if (held) ++releases;
        held = false;
    }
    bool WaitForMessage(std::uint32_t timeoutMs) override {
        ++waits;
        if (held || !queue.empty()) return true; // posted before the sleep: not lost
        return onWait ? onWait(*this, timeoutMs) : false;
    }
    bool StartTimer(std::uint32_t id, std::uint32_t ms) override {
        timers[id] = ms;
        timerStarts.push_back(ms);
        return true;
    }
    void StopTimer(std::uint32_t id) override { timers.erase(id); }
    bool Post(WindowHandle to, std::uint32_t msg, std::uintptr_t w, std::intptr_t l) override {
        if (to == window)
            queue.push_back({to, msg, w, l});
        else
            posted.push_back({to, msg, w, l});
        return true;
    }
    std::intptr_t Send(WindowHandle to, std::uint32_t msg, std::uintptr_t w,
                       std::intptr_t l) override;
    void PumpCallerMessages() override {}
    void PostSelf(std::uint32_t msg, std::uintptr_t w = 0, std::intptr_t l = 0) {
        queue.push_back({window, msg, w, l});
    }
};

class FakeDesktop final : public IDesktop {
public:
    struct Box {
        WindowHandle owner;
        std::string text, caption;
        std::uint32_t type;
        bool async;
    };
    std::vector<Box> boxes;
    std::deque<int> answers; // answers to blocking boxes, in order; IDX_OK when empty
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   std::uint32_t type) override {
        boxes.push_back({owner, text, caption, type, false});
        if (answers.empty()) return IDX_OK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    bool ShowMessageAsync(WindowHandle owner, const std::string& text, const std::string& caption,
                          std::uint32_t type, int) override {
        boxes.push_back({owner, text, caption, type, true});
        return true;
    }
};

class FakeTray final : public ITrayShell {
public:
    struct Call {
        std::string op, icon, tip;
    };
    std::vector<Call> calls;
    bool menu = false;
    int menusShown = 0;
    bool Add(WindowHandle, const std::string& icon, const std::string& tip) override {
        calls.push_back({"add", icon, tip});
        return true;
    }
    bool Modify(WindowHandle, const std::string& icon, const std::string& tip) override {
        calls.push_back({"modify", icon, tip});
        return true;
    }
    void Delete(WindowHandle) override { calls.push_back({"delete", "", ""}); }
    void CreateMenu() override { menu = true; }
    void DestroyMenu() override { menu = false; }
    void ShowMenu(WindowHandle) override { ++menusShown; }
};

// Records the power calls; never touches the machine.
class FakePower final : public IPower {
public:
    std::vector<std::uint32_t> exits;
    int hibernations = 0;
    bool exitOk = true;
    bool hibernateOk = true;
    std::vector<std::pair<std::string, std::string>> programs;
    bool ExitWindowsWithPrivilege(std::uint32_t flags) override {
        exits.push_back(flags);
        return exitOk;
    }
    bool Hibernate() override {
        ++hibernations;
        return hibernateOk;
    }
    void ShellOpen(const std::string& program, const std::string& arguments) override {
        programs.emplace_back(program, arguments);
    }
};

class FakeDialogLibrary final : public IDialogLibrary {
public:
    bool loadOk = true;
    int loads = 0, creates = 0, destroys = 0, frees = 0;
    WindowHandle createdWith = 0;
    bool Load(const std::string&) override {
        ++loads;
        return loadOk;
    }
    void CreateDialogForm(WindowHandle w) override {
        ++creates;
        createdWith = w;
    }
    void DestroyDialogForm() override { ++destroys; }
    void Free() override { ++frees; }
};

// A fresh program directory under the system's temporary directory, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; } // with trailing separator
    std::string File(const std::string& name) const { return path_ + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string path_;
};

// Every fake in one place, wired into a TPlatform.
struct FakePlatform {
    TempDir dir;
    FakeClock clock;
    FakeSerialPort port;
    FakeQueue queue;
    FakeDesktop desktop;
    FakeTray tray;
    FakePower power;
    FakeDialogLibrary dialog;
    TPlatform platform{clock, SystemFiles(), port, queue, desktop, tray, power, dialog, dir.Path()};
};
