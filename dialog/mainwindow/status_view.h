#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/records.h"

// What the main window makes of the monitor's records: the scales of the meters from the
// rating, the indicators from the status flags, the captions and messages of the link
// states. Values come from another module and are not trusted: not-a-number, infinite or
// absurd values give something sane to show, never an overflow.

inline constexpr std::string_view MainCaption = "Tarvo [version 0.35b]";
inline constexpr std::string_view ProductVersionLine = "версия 0.35b";

// The voltage dials' maximum for the rated voltage; not reported (-1, or no number) gives
// 300 and the lower-mains-limit field greyed.
struct TVoltageScale {
    int Max;
    bool Reported;
};
TVoltageScale VoltageScale(float ratedVoltage);

// The battery dial's maximum for the rated battery voltage; not reported leaves the
// maximum as it was and greys the battery dial and the charge gauge.
struct TBatteryScale {
    std::optional<int> Max;
    bool Reported;
};
TBatteryScale BatteryScale(float ratedBatteryVoltage);

// The frequency meter's range: the rated frequency +-5, or greyed when not reported.
struct TFrequencyRange {
    double Min, Max;
    bool Reported;
};
TFrequencyRange FrequencyRange(float ratedFrequency);

// The battery limits to assume when the settings hold none (both 0): B - B/6 and B + B/8
// in single precision, for a reported B above 0.
struct TBatteryLimits {
    float Min, Max;
};
std::optional<TBatteryLimits> DefaultBatteryLimits(float ratedBatteryVoltage, float minLimit,
                                                   float maxLimit);

// The indicators and the status bits that light them, in the order of the window.
enum class TIndicator { MainsFail, BatteryLow, Boost, Buck, UpsFail, Test, Shutdown, Beeper };
inline constexpr int IndicatorCount = 8;
struct TIndicatorDef {
    TIndicator Which;
    std::string_view Caption;
    std::uint16_t Flag;
};
inline constexpr TIndicatorDef Indicators[IndicatorCount] = {
    {TIndicator::MainsFail, "Сбой сети", UPS_ONBATTERY},
    {TIndicator::BatteryLow, "Разряд", UPS_BATTLOW},
    {TIndicator::Boost, "Повышение", UPS_BOOST},
    {TIndicator::Buck, "Понижение", UPS_BUCK},
    {TIndicator::UpsFail, "Общий сбой", UPS_FAILED},
    {TIndicator::Test, "Тест", UPS_TEST},
    {TIndicator::Shutdown, "Выключение", UPS_SHUTDOWN},
    {TIndicator::Beeper, "Сигнал", UPS_BEEPER},
};
inline bool IndicatorLit(const TIndicatorDef& def, std::uint16_t flags) {
    return (flags & def.Flag) != 0;
}

// The type field: standby/line-interactive or on-line.
std::string_view UpsTypeText(std::uint16_t flags);

// A reading for a field with the pattern "0.0"; a value that is no number reads "—".
std::string FieldNumber(float value, int decimals = 1);

// A percentage for a gauge, 0..100: 255 (the UPS sent no number) shows as 0, other values
// beyond 100 as 100.
int GaugePercent(std::uint8_t value);

// What the window shows for a link state: the caption, and the message box, if any.
struct TLinkStateView {
    bool Up;
    std::string Caption;
    std::string_view Message;        // empty: no box
    std::string_view MessageCaption; // "Ошибка!" or "Внимание!"
    bool EndsCalibration;
};
TLinkStateView LinkStateView(std::int64_t state, bool calibrating);
