#include "monitor/events/evaluation.h"

#include <cmath>

#include "common/events.h"

const TransitionDef TransitionTable[TransitionCount] = {
    {UPS_ONBATTERY, true, JK_WARNING, "Сбой питающей сети."},
    {UPS_ONBATTERY, false, JK_INFO, "Работа питающей сети возобновлена."},
    {UPS_BATTLOW, true, JK_WARNING, "Батарея разряжена до минимального уровня."},
    {UPS_BATTLOW, false, JK_INFO, "Минимальный заряд батареи восстановлен."},
    {UPS_BOOST, true, JK_WARNING, "Режим повышения напряжения питающей сети."},
    {UPS_BOOST, false, JK_INFO, "Напряжение питающей сети повысилось до нормы."},
    {UPS_BUCK, true, JK_WARNING, "Режим понижения напряжения питающей сети."},
    {UPS_BUCK, false, JK_INFO, "Напряжение питающей сети понизилось до нормы."},
    {UPS_FAILED, true, JK_ERROR, "Сбой UPS."},
    {UPS_FAILED, false, JK_INFO, "Работа UPS восстановлена."},
};

std::uint8_t ComputeCharge(float batteryVoltage, float minVoltage, float maxVoltage) {
    // A garbled voltage is held as -1; no real battery reads below zero.
    if (!(maxVoltage > minVoltage) || std::isnan(batteryVoltage) || batteryVoltage < 0) return 0;
    const double percent = (static_cast<double>(batteryVoltage) - minVoltage) /
                           (static_cast<double>(maxVoltage) - minVoltage) * 100.0;
    if (!(percent > 0)) return 0;
    if (percent >= 100) return 100;
    // To the nearest, halves to the even neighbour; spelled out rather than left to the
    // floating-point unit's rounding mode, which a loaded library may have changed.
    double whole = std::floor(percent);
    const double fraction = percent - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0)) whole += 1;
    return static_cast<std::uint8_t>(whole);
}

void UpdateBatteryTime(TUpsStatus& status, TDateTime now) {
    const std::uint16_t flags = status.Flags;
    if ((flags & (UPS_ONBATTERY | UPS_TEST)) == 0) {
        status.BatteryStart = 0;
        status.BatteryTime = 0;
        return;
    }
    const double start = status.BatteryStart;
    if (start == 0) {
        status.BatteryStart = now;
        status.BatteryTime = 0;
    } else {
        status.BatteryTime = now - start;
    }
}

TransitionFlags ComputeTransitions(std::uint16_t previousFlags, std::uint16_t currentFlags) {
    TransitionFlags result{};
    for (int i = 0; i < TransitionCount; ++i) {
        const TransitionDef& row = TransitionTable[i];
        const bool was = (previousFlags & row.Bit) != 0;
        const bool is = (currentFlags & row.Bit) != 0;
        result[i] = row.Began ? (is && !was) : (was && !is);
    }
    return result;
}

void DefaultBatteryLimits(float rated, float& minVoltage, float& maxVoltage) {
    minVoltage = rated - rated / 6;
    maxVoltage = rated + rated / 8;
}
