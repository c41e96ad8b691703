#include "tools/dump/text_fields.h"

#include <cmath>
#include <cstdio>

#include "common/numbers.h"
#include "common/records.h"

namespace {

struct FlagName {
    std::uint16_t Bit;
    std::string_view Name;
};

constexpr FlagName FlagNames[] = {
    {UPS_ONBATTERY, "ONBATTERY"}, {UPS_BATTLOW, "BATTLOW"},
    {UPS_BOOST, "BOOST"},         {UPS_BUCK, "BUCK"},
    {UPS_FAILED, "FAILED"},       {UPS_STANDBY, "STANDBY"},
    {UPS_TEST, "TEST"},           {UPS_SHUTDOWN, "SHUTDOWN"},
    {UPS_BEEPER, "BEEPER"},       {UPS_REGULATING, "REGULATING"},
};

// The calendar decoder gives up beyond about year 10000 and on non-finite values.
constexpr double MaxDateTime = 3.0e6;

// Seconds beyond this are no real time on battery; they also keep the arithmetic exact.
constexpr double MaxSeconds = 1.0e12;

} // namespace

std::string FormatDateTime(TDateTime value) {
    if (!std::isfinite(value) || std::fabs(value) > MaxDateTime) return "?";
    const DateTimeParts p = DecodeDateTime(value);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", p.Day, p.Month, p.Year, p.Hour,
                  p.Minute, p.Second);
    return buf;
}

std::string FormatDuration(double days) {
    const double seconds = std::round(days * 86400.0);
    if (!std::isfinite(seconds) || std::fabs(seconds) > MaxSeconds) return "?";
    const auto total = static_cast<long long>(std::fabs(seconds));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%s%lld:%02lld:%02lld", seconds < 0 ? "-" : "", total / 3600,
                  total / 60 % 60, total % 60);
    return buf;
}

std::string FormatSeconds(double days) {
    return FormatFixed(days * 86400.0, 0);
}

std::string FormatFlagsHex(std::uint16_t flags) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(flags));
    return buf;
}

std::string FormatFlagNames(std::uint16_t flags) {
    std::string out;
    for (unsigned bit = 1; bit <= 0x8000; bit <<= 1) {
        if ((flags & bit) == 0) continue;
        if (!out.empty()) out += '|';
        std::string_view name;
        for (const FlagName& f : FlagNames)
            if (f.Bit == bit) name = f.Name;
        out += name.empty() ? FormatFlagsHex(static_cast<std::uint16_t>(bit)) : std::string(name);
    }
    return out;
}

std::string PadRight(std::string_view utf8, std::size_t width) {
    std::size_t chars = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    std::string out(utf8);
    if (chars < width) out.append(width - chars, ' ');
    return out;
}
