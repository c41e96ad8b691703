#include <windows.h>

#include "monitor/runtime/wake_signal.h"

namespace {

class Win32WakeSignal final : public IWakeSignal {
public:
    Win32WakeSignal() : event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
    ~Win32WakeSignal() override {
        if (event_) CloseHandle(event_);
    }
    Win32WakeSignal(const Win32WakeSignal&) = delete;
    Win32WakeSignal& operator=(const Win32WakeSignal&) = delete;

    void Set() override {
        if (event_) SetEvent(event_);
    }
    bool Wait(std::uint32_t timeoutMs) override {
        // Without an event the waiter looks again after a short sleep, as if woken.
        if (!event_) {
            ::Sleep(timeoutMs < IdleLook ? timeoutMs : IdleLook);
            return true;
        }
        return WaitForSingleObject(event_, timeoutMs == Forever ? INFINITE : timeoutMs) ==
               WAIT_OBJECT_0;
    }

private:
    static constexpr DWORD IdleLook = 10; // ms
    HANDLE event_;
};

} // namespace

std::unique_ptr<IWakeSignal> MakeWakeSignal() {
    return std::make_unique<Win32WakeSignal>();
}
