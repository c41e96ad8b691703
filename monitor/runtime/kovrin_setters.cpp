#include "monitor/runtime/kovrin.h"

#include <algorithm>

namespace {

// Faster polling only floods the UPS; it answers no sooner.
constexpr std::int32_t MinPollPeriod = 500;

} // namespace

void TKovrin::SetInterval(std::int32_t ms) {
    interval_ = std::max(ms, MinPollPeriod);
}

void TKovrin::SetFailInterval(std::int32_t ms) {
    failInterval_ = std::max(ms, MinPollPeriod);
}

// A statistics record between two polls would repeat the last one; 0 and below switch the
// statistics off and are kept as they are.
void TKovrin::SetStatInterval(std::int32_t ms) {
    statInterval_ = (ms > 0 && ms < interval_) ? interval_ : ms;
}

void TKovrin::SetBattVoltageRange(float maxVoltage, float minVoltage) {
    if (maxVoltage > minVoltage) {
        minBattVoltage_ = minVoltage;
        maxBattVoltage_ = maxVoltage;
        return;
    }
    // 0/0 is a settings file without the two keys: the rated battery voltage fills the
    // range later, so there is nothing to complain about.
    if (maxVoltage == 0 && minVoltage == 0) return;
    // The box must not hold the control loop: the settings are loaded in the middle of it.
    ShowMessageAsync(window_, "Min value mus be smaller then Max value", "Invalid operation",
                     MBX_OK, -1);
}
