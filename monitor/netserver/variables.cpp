#include "monitor/netserver/variables.h"

#include <cmath>

#include "common/numbers.h"
#include "monitor/netserver/request_words.h"

namespace {

// Below this the output feeds nothing: the UPS has switched its load off (or its inverter
// has given up).
constexpr float OutputOffBelow = 10.0f;

using Value = std::optional<std::string>;

// A measured value: the driver leaves -1 where the UPS sent no number.
Value Measured(float value, int decimals) {
    if (!std::isfinite(value) || value < 0) return std::nullopt;
    return FormatFixed(value, decimals);
}

// A rating: 0 when the UPS sent none.
Value Rated(float value, int decimals) {
    if (!std::isfinite(value) || value <= 0) return std::nullopt;
    return FormatFixed(value, decimals);
}

// The identification's texts are padded with blanks by the UPS.
std::string Trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    return std::string(text);
}

const TVariableDef Variables[] = {
    {"battery.charge", "Battery charge (percent of full)", 0,
     [](const TNetSnapshot& s, bool) -> Value { return std::to_string(s.Status.BatteryCharge); }},
    {"battery.voltage", "Battery voltage (V)", 0,
     [](const TNetSnapshot& s, bool) { return Measured(s.Status.BatteryVoltage, 2); }},
    {"battery.voltage.nominal", "Nominal battery voltage (V)", 0,
     [](const TNetSnapshot& s, bool) { return Rated(s.Rating.BatteryVoltage, 1); }},
    {"device.mfr", "Device manufacturer", 15,
     [](const TNetSnapshot& s, bool) -> Value { return Trimmed(s.Info.Maker.View()); }},
    {"device.model", "Device model", 10,
     [](const TNetSnapshot& s, bool) -> Value { return Trimmed(s.Info.Model.View()); }},
    {"device.type", "Device type", 3, [](const TNetSnapshot&, bool) -> Value { return "ups"; }},
    {"input.current.nominal", "Nominal input current (A)", 0,
     [](const TNetSnapshot& s, bool) -> Value {
         if (s.Rating.Current <= 0) return std::nullopt;
         return std::to_string(s.Rating.Current);
     }},
    {"input.frequency", "Input line frequency (Hz)", 0,
     [](const TNetSnapshot& s, bool) { return Measured(s.Status.InputFrequency, 1); }},
    {"input.frequency.nominal", "Nominal input line frequency (Hz)", 0,
     [](const TNetSnapshot& s, bool) { return Rated(s.Rating.Frequency, 1); }},
    {"input.voltage", "Input voltage (V)", 0,
     [](const TNetSnapshot& s, bool) { return Measured(s.Status.InputVoltage, 1); }},
    {"input.voltage.fault", "Input voltage at the last fault (V)", 0,
     [](const TNetSnapshot& s, bool) { return Measured(s.Status.InputFaultVoltage, 1); }},
    {"input.voltage.nominal", "Nominal input voltage (V)", 0,
     [](const TNetSnapshot& s, bool) { return Rated(s.Rating.Voltage, 1); }},
    {"output.voltage", "Output voltage (V)", 0,
     [](const TNetSnapshot& s, bool) { return Measured(s.Status.OutputVoltage, 1); }},
    {"ups.beeper.status", "UPS beeper status", 8,
     [](const TNetSnapshot& s, bool) -> Value {
         return (s.Status.Flags & UPS_BEEPER) != 0 ? "enabled" : "disabled";
     }},
    {"ups.firmware", "UPS firmware", 10,
     [](const TNetSnapshot& s, bool) -> Value { return Trimmed(s.Info.Version.View()); }},
    {"ups.load", "Load on UPS (percent of full)", 0,
     [](const TNetSnapshot& s, bool) -> Value {
         if (s.Status.Load == 255) return std::nullopt; // the UPS sent no number
         return std::to_string(s.Status.Load);
     }},
    {"ups.mfr", "UPS manufacturer", 15,
     [](const TNetSnapshot& s, bool) -> Value { return Trimmed(s.Info.Maker.View()); }},
    {"ups.model", "UPS model", 10,
     [](const TNetSnapshot& s, bool) -> Value { return Trimmed(s.Info.Model.View()); }},
    {"ups.status", "UPS status", 32,
     [](const TNetSnapshot& s, bool fsd) -> Value { return StatusWords(s.Status, fsd); }},
    {"ups.temperature", "UPS temperature (degrees C)", 0,
     [](const TNetSnapshot& s, bool) { return Measured(s.Status.Temperature, 1); }},
};

} // namespace

std::span<const TVariableDef> VariableTable() {
    return Variables;
}

const TVariableDef* FindVariable(std::string_view name) {
    for (const TVariableDef& v : Variables)
        if (SameWord(v.Name, name)) return &v;
    return nullptr;
}

std::string StatusWords(const TUpsStatus& status, bool forcedShutdown) {
    const std::uint16_t flags = status.Flags;
    std::string words = forcedShutdown ? "FSD " : "";
    words += (flags & UPS_ONBATTERY) != 0 ? "OB" : "OL";
    if ((flags & UPS_BATTLOW) != 0) words += " LB";
    if ((flags & UPS_TEST) != 0) words += " CAL";
    if ((flags & UPS_BUCK) != 0) words += " TRIM";
    if ((flags & UPS_BOOST) != 0) words += " BOOST";
    const float output = status.OutputVoltage;
    if (std::isfinite(output) && output >= 0 && output < OutputOffBelow) words += " OFF";
    return words;
}
