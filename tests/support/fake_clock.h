#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include "common/clock.h"

// A clock that only moves when told to or when slept on: the driver's 2000 ms answer
// wait costs no real time.
class FakeClock final : public IClock {
public:
    TDateTime now = 46364.5; // 08.12.2026 12:00
    std::uint32_t tick = 1000;
    std::uint64_t slept = 0; // total ms slept
    // Called on every sleep, after the time moved: lets a test change the world meanwhile.
    void (*onSleep)(void*) = nullptr;
    void* onSleepArg = nullptr;

    TDateTime Now() override { return now; }
    std::uint32_t TickCount() override { return tick; }
    void Sleep(std::uint32_t ms) override {
        Advance(ms);
        if (onSleep) onSleep(onSleepArg);
    }
    void Advance(std::uint32_t ms) {
        tick += ms;
        slept += ms;
        now += ms / 86400000.0;
    }
    std::string ShortDate(TDateTime) override { return "08.12.2026"; }
    std::string LongTime(TDateTime value) override;
};

inline std::string FakeClock::LongTime(TDateTime value) {
    long long secs =
        static_cast<long long>((value - static_cast<long long>(value)) * 86400.0 + 0.5);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}
