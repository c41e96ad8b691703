#pragma once
#include <cstdint>
#include <memory>

// A wake-up from one thread to another: Set on one side, Wait on the other. It stays set
// until a wait consumes it, so a Set that comes just before the Wait is never lost.
class IWakeSignal {
public:
    static constexpr std::uint32_t Forever = 0xFFFFFFFF;

    virtual ~IWakeSignal() = default;
    virtual void Set() = 0;
    // True when the signal was set (and is clear again), false when timeoutMs passed first.
    virtual bool Wait(std::uint32_t timeoutMs) = 0;
};

// The system's own: an auto-reset event on Windows, a condition variable natively.
std::unique_ptr<IWakeSignal> MakeWakeSignal();
