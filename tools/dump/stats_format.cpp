#include <cstdint>

#include "common/numbers.h"
#include "common/records.h"
#include "tools/dump/record_format.h"
#include "tools/dump/text_fields.h"

namespace {

// The six measured values with the decimals the user interface shows them with.
struct Measures {
    std::string Input, Fault, Output, Battery, Frequency, Temperature;
};

Measures MeasuresOf(const TUpsStatus& s) {
    return {FormatFixed(s.InputVoltage, 1),   FormatFixed(s.InputFaultVoltage, 1),
            FormatFixed(s.OutputVoltage, 1),  FormatFixed(s.BatteryVoltage, 2),
            FormatFixed(s.InputFrequency, 1), FormatFixed(s.Temperature, 1)};
}

// 255 is the load of an answer that held no number.
constexpr std::uint8_t NoLoad = 255;

} // namespace

std::string StatsLine(std::string_view bytes) {
    const auto r = DecodeRecord<TStatRecord>(bytes);
    const TUpsStatus s = r.Status;
    const Measures m = MeasuresOf(s);
    const std::uint8_t load = s.Load;
    const std::uint16_t flags = s.Flags;
    const double start = s.BatteryStart;
    std::string line = FormatDateTime(r.Time);
    line += "  in " + m.Input + "  fault " + m.Fault + "  out " + m.Output + "  batt " + m.Battery +
            "  freq " + m.Frequency + "  temp " + m.Temperature;
    line += "  load " + (load == NoLoad ? std::string("-") : std::to_string(load) + "%");
    line += "  charge " + std::to_string(s.BatteryCharge) + "%";
    line += "  flags " + FormatFlagsHex(flags);
    const std::string names = FormatFlagNames(flags);
    if (!names.empty()) line += " " + names;
    line += "  battery since " + (start == 0 ? std::string("-") : FormatDateTime(start));
    line += "  for " + FormatDuration(s.BatteryTime);
    return line;
}

std::vector<std::string> StatsCsv(std::string_view bytes) {
    const auto r = DecodeRecord<TStatRecord>(bytes);
    const TUpsStatus s = r.Status;
    const Measures m = MeasuresOf(s);
    const double start = s.BatteryStart;
    return {FormatDateTime(r.Time),
            m.Input,
            m.Fault,
            m.Output,
            m.Battery,
            m.Frequency,
            m.Temperature,
            std::to_string(s.Load),
            std::to_string(s.BatteryCharge),
            std::to_string(s.Flags),
            start == 0 ? std::string() : FormatDateTime(start),
            FormatSeconds(s.BatteryTime)};
}
