#pragma once
#include <cstdint>

// A date-time value: days since 1899-12-30 00:00 local time, the time of day as the fraction.
// It is the form stored in the journal and statistics records.
using TDateTime = double;

struct DateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

// Days since 1899-12-30 of a civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(int year, int month, int day);

TDateTime EncodeDateTime(const DateTimeParts& parts);

// The fraction is rounded to the millisecond. For dates before 1899-12-30 the value's
// sign covers only the day part, as in the stored files: -1.25 is 1899-12-29 06:00.
DateTimeParts DecodeDateTime(TDateTime value);

// Milliseconds in a day and the length of one millisecond as a date-time value.
inline constexpr double MsPerDay = 86400000.0;
