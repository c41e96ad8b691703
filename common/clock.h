#pragma once
#include <cstdint>
#include <string>

#include "common/datetime.h"

// Time as the system gives it: the local calendar, a millisecond tick counter, sleeping,
// and the user's date and time formats. Tests substitute a fake that sleeps in no time.
class IClock {
public:
    virtual ~IClock() = default;
    virtual TDateTime Now() = 0;            // local date and time
    virtual std::uint32_t TickCount() = 0;  // milliseconds, wraps after 49.7 days
    virtual void Sleep(std::uint32_t ms) = 0;
    virtual std::string ShortDate(TDateTime value) = 0; // the user's short date format
    virtual std::string LongTime(TDateTime value) = 0;  // the user's long time format
};

// The process's real clock.
IClock& SystemClock();
