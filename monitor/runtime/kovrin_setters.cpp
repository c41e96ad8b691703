#include "monitor/runtime/kovrin.h"

void TKovrin::SetInterval(std::int32_t ms) { interval_ = ms; }
void TKovrin::SetFailInterval(std::int32_t ms) { failInterval_ = ms; }
void TKovrin::SetStatInterval(std::int32_t ms) { statInterval_ = ms; }
void TKovrin::SetBattVoltageRange(float maxVoltage, float minVoltage) {
    minBattVoltage_ = minVoltage;
    maxBattVoltage_ = maxVoltage;
}
