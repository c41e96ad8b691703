#include <windows.h>

#include <atomic>
#include <cstdint>

#include "common/messages.h"
#include "monitor/runtime/hand_over.h"
#include "monitor/runtime/win32_platform.h"

namespace {

constexpr char WindowClass[] = "KovrinWndClass";

// Timer requests from the control thread to the window thread: a timer belongs to the
// thread that owns its window, so SetTimer and KillTimer run there. Thread messages
// (no window), private numbers.
constexpr UINT UM_STARTTIMER = WM_APP + 0x301;
constexpr UINT UM_STOPTIMER = WM_APP + 0x302;

class Win32MessageQueue;
// The window procedure finds the queue here: one monitor per process.
std::atomic<Win32MessageQueue*> Instance{nullptr};

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

class Win32MessageQueue final : public IMessageQueue {
public:
    Win32MessageQueue() : hand_([](std::uint32_t ms) { ::Sleep(ms); }) {}
    ~Win32MessageQueue() override {
        Stop();
        Win32MessageQueue* self = this;
        Instance.compare_exchange_strong(self, nullptr);
    }

    bool Start() override {
        if (thread_) return window_.load() != nullptr;
        Instance = this;
        hand_.Reset();
        ready_ = 0;
        window_ = nullptr;
        thread_ = CreateThread(nullptr, 0, &Win32MessageQueue::ThreadMain, this, 0, &threadId_);
        if (!thread_) return false;
        while (!ready_.load())
            ::Sleep(1);
        if (!window_.load()) return false;
        hand_.Run();
        return true;
    }

    void Stop() override {
        hand_.StopAll(); // frees a held sender; later messages pass straight through
        if (!thread_) return;
        // Thread message: the window may already be gone (WM_CLOSE destroys it).
        PostThreadMessageA(threadId_, UM_STOPTHREAD, 0, 0);
        DWORD code = 0;
        for (unsigned waited = 1; GetExitCodeThread(thread_, &code) && code == STILL_ACTIVE;
             ++waited) {
            ::Sleep(1);
            if (waited % 100 == 0) PostThreadMessageA(threadId_, UM_STOPTHREAD, 0, 0);
        }
        CloseHandle(thread_);
        thread_ = nullptr;
        window_ = nullptr;
    }

    WindowHandle Window() override { return reinterpret_cast<WindowHandle>(window_.load()); }
    bool Take(Message& message) override { return hand_.Take(message); }
    void Release() override { hand_.Release(); }
    bool WaitForMessage(std::uint32_t timeoutMs) override {
        return hand_.WaitForMessage(timeoutMs);
    }

    bool StartTimer(std::uint32_t id, std::uint32_t ms) override {
        return thread_ && PostThreadMessageA(threadId_, UM_STARTTIMER, id, static_cast<LPARAM>(ms));
    }
    void StopTimer(std::uint32_t id) override {
        if (thread_) PostThreadMessageA(threadId_, UM_STOPTIMER, id, 0);
    }

    bool Post(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam,
              std::intptr_t lParam) override {
        return PostMessageA(reinterpret_cast<HWND>(to), msg, wParam, lParam) != FALSE;
    }
    std::intptr_t Send(WindowHandle to, std::uint32_t msg, std::uintptr_t wParam,
                       std::intptr_t lParam) override {
        return SendMessageA(reinterpret_cast<HWND>(to), msg, wParam, lParam);
    }
    void PumpCallerMessages() override {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }

    void Deliver(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        hand_.Deliver(Message{reinterpret_cast<WindowHandle>(window), msg, wParam, lParam});
    }

private:
    static DWORD WINAPI ThreadMain(LPVOID parameter) {
        static_cast<Win32MessageQueue*>(parameter)->Loop();
        return 0;
    }

    static HWND CreateHiddenWindow() {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA existing;
        if (GetClassInfoA(instance, WindowClass, &existing) &&
            existing.lpfnWndProc != &HiddenWindowProc)
            UnregisterClassA(WindowClass, instance);
        WNDCLASSA wc{};
        wc.lpfnWndProc = &HiddenWindowProc;
        wc.hInstance = instance;
        wc.lpszClassName = WindowClass;
        RegisterClassA(&wc); // fails harmlessly when still registered with this procedure
        return CreateWindowExA(WS_EX_TOOLWINDOW, WindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                               nullptr, instance, nullptr);
    }

    void Loop() {
        MSG m;
        PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue exists from here
        const HWND window = CreateHiddenWindow();
        window_ = window;
        ready_ = 1;
        if (!window) {
            UnregisterClassA(WindowClass, GetModuleHandleA(nullptr));
            return;
        }
        // The system's own wait for messages: nothing wakes the thread while nothing
        // happens. Sent messages and timer ticks come through it too; it ends only on a
        // quit message or an error, neither of which the monitor causes.
        while (GetMessageA(&m, nullptr, 0, 0) > 0) {
            if (m.message == UM_STOPTHREAD) break;
            if (m.hwnd == nullptr && m.message == UM_STARTTIMER) {
                SetTimer(window, m.wParam, static_cast<UINT>(m.lParam), nullptr);
                continue;
            }
            if (m.hwnd == nullptr && m.message == UM_STOPTIMER) {
                KillTimer(window, m.wParam);
                continue;
            }
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        DestroyWindow(window);
        UnregisterClassA(WindowClass, GetModuleHandleA(nullptr));
    }

    HandOver hand_;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    std::atomic<std::uint8_t> ready_{0};
    std::atomic<HWND> window_{nullptr};
};

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (Win32MessageQueue* queue = Instance.load()) queue->Deliver(window, msg, wParam, lParam);
    return DefWindowProcA(window, msg, wParam, lParam);
}

} // namespace

std::unique_ptr<IMessageQueue> MakeWin32MessageQueue() {
    return std::make_unique<Win32MessageQueue>();
}
