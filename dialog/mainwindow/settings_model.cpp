#include "dialog/mainwindow/settings_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numbers.h"
#include "dialog/module/ini_file.h"

namespace {

// A limit that is no number, or too large for the single precision it is held in, is 0.
float LimitOrZero(const std::string& text) {
    return ParseVoltage(text).value_or(0.0f);
}

} // namespace

std::optional<float> ParseVoltage(std::string_view text) {
    const std::optional<double> value = ParseDecimal(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*value);
}

TMonitorSettings ReadMonitorSettings(const TIniFile& ini) {
    const std::string_view s = SettingsSection;
    TMonitorSettings m;
    m.FormTop = ini.ReadInteger(s, "FormTop", 100);
    m.FormLeft = ini.ReadInteger(s, "FormLeft", 100);
    m.Interval = ini.ReadInteger(s, "Interval", 2500);
    m.FailInterval = ini.ReadInteger(s, "FailInterval", 1000);
    m.StatInterval = ini.ReadInteger(s, "StatInterval", 10000);
    m.TimeOut = ini.ReadInteger(s, "TimeOut", 2000);
    m.Port = ini.ReadString(s, "Port", "COM1");
    m.Dtr = ini.ReadBool(s, "DTR", true);
    m.Rts = ini.ReadBool(s, "RTS", true);
    m.MinBattVoltage = LimitOrZero(ini.ReadString(s, "MinBattVoltage", "0"));
    m.MaxBattVoltage = LimitOrZero(ini.ReadString(s, "MaxBattVoltage", "0"));
    // Held in 8 bits, as the monitor holds it: only the low 8 bits of the number remain.
    m.AltTransDiff = static_cast<std::uint8_t>(ini.ReadInteger(s, "AltTransDiff", 0) & 0xFF);

    m.TimeOut = std::max(m.TimeOut, 1000);
    m.Interval = std::max(m.Interval, 500);
    m.FailInterval = std::max(m.FailInterval, 500);
    m.StatInterval = std::max(m.StatInterval, m.Interval);
    return m;
}

void WriteMonitorSettings(TIniFile& ini, const TMonitorSettings& m, bool altDetection,
                          TWriteScope scope) {
    const std::string_view s = SettingsSection;
    if (scope == TWriteScope::Destruction) {
        ini.WriteInteger(s, "FormTop", m.FormTop);
        ini.WriteInteger(s, "FormLeft", m.FormLeft);
    }
    ini.WriteInteger(s, "Interval", m.Interval);
    ini.WriteInteger(s, "FailInterval", m.FailInterval);
    ini.WriteInteger(s, "StatInterval", m.StatInterval);
    ini.WriteInteger(s, "TimeOut", m.TimeOut);
    ini.WriteString(s, "Port", m.Port);
    ini.WriteInteger(s, "DTR", m.Dtr ? 1 : 0);
    ini.WriteInteger(s, "RTS", m.Rts ? 1 : 0);
    ini.WriteString(s, "MinBattVoltage", StoredVoltage(m.MinBattVoltage));
    ini.WriteString(s, "MaxBattVoltage", StoredVoltage(m.MaxBattVoltage));
    ini.WriteInteger(s, "AltTransDiff", altDetection ? m.AltTransDiff : 0);
}

std::string StoredVoltage(float volts) {
    return FormatFixed(static_cast<double>(volts), 1);
}

std::string ShownVoltage(float volts) {
    return FormatFixed(static_cast<double>(volts), 2);
}

TTakeResult TakeIntoMemory(TMonitorSettings& m, const TSettingsInput& in) {
    m.Interval = in.Interval;
    m.FailInterval = in.FailInterval;
    m.TimeOut = in.TimeOut;
    m.StatInterval = in.StatInterval;
    m.Port = in.Port;
    m.Dtr = in.Dtr;
    m.Rts = in.Rts;
    const std::optional<float> min = ParseVoltage(in.MinText);
    if (!min) return {false, in.MinText, false};
    m.MinBattVoltage = *min;
    const std::optional<float> max = ParseVoltage(in.MaxText);
    if (!max) return {false, in.MaxText, true};
    m.MaxBattVoltage = *max;
    m.AltTransDiff = static_cast<std::uint8_t>(
        std::clamp(in.AltTransDiff, AltTransDiffRange.Min, AltTransDiffRange.Max));
    return {true, {}, false};
}

std::string NotANumberMessage(std::string_view text) {
    return "\"" + std::string(text) +
           "\" не является правильным числом.\r"
           "Напряжение записывается цифрами с точкой, например 13.6.";
}

TPoint2 ReachablePosition(int left, int top, int width, int height, const TScreenArea& screen) {
    (void)height;
    // The caption strip: some 32 pixels of it across and its upper part on the screen let
    // the user take the window and drag it.
    constexpr int Grip = 32, CaptionHeight = 18;
    const long long right = static_cast<long long>(left) + width;
    const long long overlapX = std::min<long long>(right, screen.Left + screen.Width) -
                               std::max<long long>(left, screen.Left);
    const bool reachable = overlapX >= Grip && top >= screen.Top - CaptionHeight / 2 &&
                           top <= screen.Top + screen.Height - CaptionHeight;
    if (reachable) return {left, top};
    const int x =
        std::max(screen.Left, std::min(screen.Left + 100, screen.Left + screen.Width - width));
    const int y =
        std::max(screen.Top, std::min(screen.Top + 100, screen.Top + screen.Height - height));
    return {x, y};
}
