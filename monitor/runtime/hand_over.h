#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "monitor/runtime/platform.h"
#include "monitor/runtime/wake_signal.h"

// The slot through which the hidden window's thread hands each message to the control
// loop and waits until the loop has let it go. Two flags, polled with 1 ms sleeps; no
// locks. While stopping, messages pass straight through. A message handed over also sets
// a wake signal, so that an idle control loop sleeps until there is one.
class HandOver {
public:
    explicit HandOver(std::function<void(std::uint32_t)> sleep,
                      std::unique_ptr<IWakeSignal> handedOver = MakeWakeSignal());

    void Reset();      // clear the slot; free; stopping
    void Run();        // stopping = 0, free = 1: messages are handed over from now on
    void StopAll();    // clear the slot; free; stopping: frees a held sender

    // On the window thread: hold the message until the control loop releases it.
    void Deliver(const Message& message);
    // On the control thread.
    bool Take(Message& message);
    void Release();
    // On the control thread, after Take found nothing: sleeps until a message is handed
    // over or timeoutMs passes (IWakeSignal::Forever: no limit). True when one may be there.
    bool WaitForMessage(std::uint32_t timeoutMs);

    bool Stopping() const { return stopping_.load(); }

private:
    std::function<void(std::uint32_t)> sleep_;
    std::unique_ptr<IWakeSignal> handedOver_;
    Message slot_;
    std::atomic<std::uint8_t> slotFree_{1};
    std::atomic<std::uint8_t> stopping_{1};
};
