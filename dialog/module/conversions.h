#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/datetime.h"

// The conversion services that the main window offers to every window of the library.
// Numbers always use "."; dates and times follow the user's formats, described here so
// that the rules can be checked without Windows.

// The parts of the user's formats that reading a date or a time needs.
struct TLocaleFormats {
    std::string ShortDate = "dd.MM.yyyy"; // Windows picture: d, M, y runs and separators
    std::string LongTime = "H:mm:ss";     // h/H, m, s runs, t for AM/PM, and separators
};

// The process's formats: the user's locale on Windows, the Russian defaults elsewhere.
const TLocaleFormats& UserLocaleFormats();

// The text read as a floating-point number; the default when it is no valid number.
double FloatWithDefault(std::string_view text, double fallback);

// The text read as a time of day (hours, minutes, optional seconds, separated by the
// time format's separator, with an AM/PM marker after or, as some locales write it,
// before them); the default when invalid.
double TimeWithDefault(std::string_view text, double fallback,
                       const TLocaleFormats& formats = UserLocaleFormats());

// The text read as a date in the order of the short date format (day, month, year, any
// non-digit between them); a missing year is the current one, a two-digit year is taken
// within 50 years of the current year. The default when invalid.
double DateWithDefault(std::string_view text, double fallback, int currentYear,
                       const TLocaleFormats& formats = UserLocaleFormats());

// The number before the first ": " of an entry such as "12: Тест"; -1 when the text is
// empty, has no ": " or the part before it is no integer.
std::int32_t IdFromEntry(std::string_view entry);

// The template with its characters overwritten from the right by the decimal digits of
// the number, as far as both reach: ("00", 5) -> "05", ("00", 123) -> "23".
std::string StampDigits(std::string_view pattern, std::uint32_t number);

// A time of day in the long time format ("0:12:30"): only the fraction of the value
// counts, and a value that is no real time (NaN, infinite, negative) shows as 0:00:00.
std::string FormatTimeOfDay(double value, const TLocaleFormats& formats = UserLocaleFormats());

// A date in the short date format; a value outside the calendar's years 1..9999 gives "".
std::string FormatDate(double value, const TLocaleFormats& formats = UserLocaleFormats());
