#include "monitor/app/mon_app.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "common/numbers.h"
#include "monitor/app/ini_reader.h"

namespace {

constexpr char DefaultPort[] = "COM1";
constexpr std::int32_t DefaultInterval = 2500;
constexpr std::int32_t DefaultFailInterval = 1000;
constexpr std::int32_t DefaultStatInterval = 10000;
constexpr std::int32_t DefaultTimeOut = 2000;
constexpr std::int32_t DefaultAltTransDiff = 0;
constexpr float DefaultBattVoltage = 0;

// Only the text "0" lowers a line; anything else, an empty value too, raises it.
std::uint8_t ParseFlag(const std::string& text) {
    return text == "0" ? 0 : 1;
}

// A value a float cannot hold is as unparsable as a word.
float ParseVoltage(const std::string& text) {
    const double value = ParseDecimalOr(text, DefaultBattVoltage);
    if (std::fabs(value) > std::numeric_limits<float>::max()) return DefaultBattVoltage;
    return static_cast<float>(value);
}

} // namespace

TMonApp::TMonApp(TPlatform& platform) : TMegaTecMon(platform) {
    iniPath_ = platform.ProgramDir + "Kovrin.ini";
    OnLoadSettings = [this] { LoadSettings(); };
}

TMonApp::~TMonApp() {
    EndRunElsewhere();
}

// The keys are applied in this order: StatInterval is checked against the Interval just set.
void TMonApp::LoadSettings() {
    const auto text = [this](std::string_view key) {
        return ReadIniValue(platform_.Files, iniPath_, key);
    };
    const auto integer = [&text](std::string_view key, std::int32_t fallback) {
        return ParseIntegerOr(text(key), fallback);
    };

    const std::string port = text("Port");
    SetPort(port.empty() ? DefaultPort : port);

    // The port is closed while the settings load, so SetDTR/SetRTS do nothing now; the
    // preset makes the next opening apply the lines as the file says.
    const std::uint8_t dtr = ParseFlag(text("DTR"));
    SetDTR(dtr);
    const std::uint8_t rts = ParseFlag(text("RTS"));
    SetRTS(rts);
    PresetLines(dtr, rts);

    SetInterval(integer("Interval", DefaultInterval));
    SetFailInterval(integer("FailInterval", DefaultFailInterval));
    SetStatInterval(integer("StatInterval", DefaultStatInterval));
    SetTimeOut(integer("TimeOut", DefaultTimeOut));

    const float minVoltage = ParseVoltage(text("MinBattVoltage"));
    const float maxVoltage = ParseVoltage(text("MaxBattVoltage"));
    SetBattVoltageRange(maxVoltage, minVoltage);

    // An 8-bit setting: only the low byte of the number remains (300 gives 44, -1 gives 255).
    SetAltTransDiff(static_cast<std::uint8_t>(integer("AltTransDiff", DefaultAltTransDiff)));

    SetDevLog(text("DevLog"));

    SetNetServerSettings(NetServerSettingsFrom(text));
}
