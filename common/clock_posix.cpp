#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "common/clock.h"

namespace {

DateTimeParts LocalParts(std::chrono::system_clock::time_point t) {
    const std::time_t secs = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&secs, &tm);
    DateTimeParts p;
    p.Year = tm.tm_year + 1900;
    p.Month = tm.tm_mon + 1;
    p.Day = tm.tm_mday;
    p.Hour = tm.tm_hour;
    p.Minute = tm.tm_min;
    p.Second = tm.tm_sec;
    p.Millisecond = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count() % 1000);
    return p;
}

// The native build stands in for Windows with the Russian formats the product is used with.
class PosixClock final : public IClock {
public:
    TDateTime Now() override { return EncodeDateTime(LocalParts(std::chrono::system_clock::now())); }
    std::uint32_t TickCount() override {
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                              std::chrono::steady_clock::now().time_since_epoch())
                                              .count());
    }
    void Sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    std::string ShortDate(TDateTime value) override {
        const DateTimeParts p = DecodeDateTime(value);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", p.Day, p.Month, p.Year);
        return buf;
    }
    std::string LongTime(TDateTime value) override {
        const DateTimeParts p = DecodeDateTime(value);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d:%02d:%02d", p.Hour, p.Minute, p.Second);
        return buf;
    }
};

} // namespace

IClock& SystemClock() {
    static PosixClock clock;
    return clock;
}
