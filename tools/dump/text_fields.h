#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/datetime.h"

// The pieces the record lines are made of.

// "DD.MM.YYYY HH:MM:SS" (milliseconds dropped); "?" for a value no calendar date matches.
std::string FormatDateTime(TDateTime value);

// A span of days as "H:MM:SS", rounded to the second; "?" when it is not a finite span.
std::string FormatDuration(double days);

// A span of days as whole seconds, rounded.
std::string FormatSeconds(double days);

// The status word as "0x0209".
std::string FormatFlagsHex(std::uint16_t flags);

// The names of the set status bits joined by "|" ("ONBATTERY|BUCK|REGULATING"); a bit
// without a name appears as its hex value. Empty when no bit is set.
std::string FormatFlagNames(std::uint16_t flags);

// The text padded with blanks to `width` characters (UTF-8 characters, not bytes).
std::string PadRight(std::string_view utf8, std::size_t width);
