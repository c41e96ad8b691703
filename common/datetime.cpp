#include "common/datetime.h"

#include <cmath>

namespace {

// Days from 1970-01-01 to 1899-12-30.
constexpr std::int64_t UnixEpochOffset = 25569;

// Howard Hinnant's civil calendar algorithms, counted from 1970-01-01.
std::int64_t DaysFromCivil1970(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays1970(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

} // namespace

std::int64_t DaysFromCivil(int year, int month, int day) {
    return DaysFromCivil1970(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
           UnixEpochOffset;
}

TDateTime EncodeDateTime(const DateTimeParts& p) {
    const double days = static_cast<double>(DaysFromCivil(p.Year, p.Month, p.Day));
    const double ms = ((p.Hour * 60.0 + p.Minute) * 60.0 + p.Second) * 1000.0 + p.Millisecond;
    const double fraction = ms / MsPerDay;
    // Before the epoch the fraction counts forward from the day while the day counts back.
    return days >= 0 ? days + fraction : days - fraction;
}

DateTimeParts DecodeDateTime(TDateTime value) {
    DateTimeParts p;
    if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return p; // beyond any real date
    double days = std::trunc(value);
    std::int64_t ms = std::llround(std::fabs(value - days) * MsPerDay);
    if (ms >= static_cast<std::int64_t>(MsPerDay)) {
        ms -= static_cast<std::int64_t>(MsPerDay);
        days += value >= 0 ? 1 : -1;
    }
    CivilFromDays1970(static_cast<std::int64_t>(days) - UnixEpochOffset, p.Year, p.Month, p.Day);
    p.Millisecond = static_cast<int>(ms % 1000);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.Minute = static_cast<int>(ms / 60000 % 60);
    p.Hour = static_cast<int>(ms / 3600000);
    return p;
}
