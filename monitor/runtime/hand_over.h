#pragma once
#include <atomic>
#include <cstdint>
#include <functional>

#include "monitor/runtime/platform.h"

// The slot through which the hidden window's thread hands each message to the control
// loop and waits until the loop has let it go. Two flags, polled with 1 ms sleeps; no
// locks. While stopping, messages pass straight through.
class HandOver {
public:
    explicit HandOver(std::function<void(std::uint32_t)> sleep);

    void Reset();      // clear the slot; free; stopping
    void Run();        // stopping = 0, free = 1: messages are handed over from now on
    void StopAll();    // clear the slot; free; stopping: frees a held sender

    // On the window thread: hold the message until the control loop releases it.
    void Deliver(const Message& message);
    // On the control thread.
    bool Take(Message& message);
    void Release();

    bool Stopping() const { return stopping_.load(); }

private:
    std::function<void(std::uint32_t)> sleep_;
    Message slot_;
    std::atomic<std::uint8_t> slotFree_{1};
    std::atomic<std::uint8_t> stopping_{1};
};
