#include <windows.h>

#include "common/clock.h"

namespace {

SYSTEMTIME ToSystemTime(TDateTime value) {
    const DateTimeParts p = DecodeDateTime(value);
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(p.Year < 1601 ? 1601 : p.Year);
    st.wMonth = static_cast<WORD>(p.Month);
    st.wDay = static_cast<WORD>(p.Day);
    st.wHour = static_cast<WORD>(p.Hour % 24);
    st.wMinute = static_cast<WORD>(p.Minute);
    st.wSecond = static_cast<WORD>(p.Second);
    st.wMilliseconds = static_cast<WORD>(p.Millisecond);
    return st;
}

class Win32Clock final : public IClock {
public:
    TDateTime Now() override {
        SYSTEMTIME st;
        GetLocalTime(&st);
        DateTimeParts p;
        p.Year = st.wYear;
        p.Month = st.wMonth;
        p.Day = st.wDay;
        p.Hour = st.wHour;
        p.Minute = st.wMinute;
        p.Second = st.wSecond;
        p.Millisecond = st.wMilliseconds;
        return EncodeDateTime(p);
    }
    std::uint32_t TickCount() override { return GetTickCount(); }
    void Sleep(std::uint32_t ms) override { ::Sleep(ms); }
    std::string ShortDate(TDateTime value) override {
        const SYSTEMTIME st = ToSystemTime(value);
        char buf[128];
        const int n = GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf,
                                     sizeof buf);
        return n > 0 ? std::string(buf) : std::string();
    }
    std::string LongTime(TDateTime value) override {
        const SYSTEMTIME st = ToSystemTime(value);
        char buf[128];
        const int n = GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, sizeof buf);
        return n > 0 ? std::string(buf) : std::string();
    }
};

} // namespace

IClock& SystemClock() {
    static Win32Clock clock;
    return clock;
}
