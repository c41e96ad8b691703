#pragma once
#include <array>
#include <cstdint>
#include <string_view>

#include "common/datetime.h"
#include "common/records.h"

// The ten status transitions, in the order of their journal entries and event sources 0-9.
enum Transition : int {
    TR_POWERFAIL,
    TR_POWERRESTORE,
    TR_BATTLOW,
    TR_BATTRESTORE,
    TR_BOOSTON,
    TR_BOOSTOFF,
    TR_BUCKON,
    TR_BUCKOFF,
    TR_UPSFAIL,
    TR_UPSRESTORE,
    TransitionCount
};
using TransitionFlags = std::array<bool, TransitionCount>;

struct TransitionDef {
    std::uint16_t Bit;
    bool Began; // the bit was set (true) or cleared (false)
    std::uint8_t Kind;
    std::string_view Text;
};
extern const TransitionDef TransitionTable[TransitionCount];

// Charge in percent from the battery voltage between the two limits, half to even, 0-100.
std::uint8_t ComputeCharge(float batteryVoltage, float minVoltage, float maxVoltage);

// Starts, advances or clears the time on battery (mains failure or self-test).
void UpdateBatteryTime(TUpsStatus& status, TDateTime now);

TransitionFlags ComputeTransitions(std::uint16_t previousFlags, std::uint16_t currentFlags);

// Limits derived from the rated battery voltage when none are set.
void DefaultBatteryLimits(float rated, float& minVoltage, float& maxVoltage);
