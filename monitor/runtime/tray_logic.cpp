#include "monitor/runtime/tray_logic.h"

#include <string_view>

#include "common/records.h"

namespace {

struct ChargeLevel {
    std::uint8_t UpTo; // highest charge shown with this level
    std::string_view Suffix;
};
constexpr ChargeLevel ChargeLevels[] = {
    {12, "000"}, {37, "025"}, {62, "050"}, {87, "075"}, {255, "100"},
};

// Special states, each overriding the ones before it: a failure wins over a pending
// shutdown, which wins over a test.
struct SpecialState {
    std::uint16_t Flag;
    std::string_view Icon;
    std::string_view Tip;
};
constexpr SpecialState SpecialStates[] = {
    {UPS_TEST, "TEST", "Тестирование. Заряд: "},
    {UPS_SHUTDOWN, "DOWN", "Ожидание выключения. Заряд: "},
    {UPS_FAILED, "FAIL", "Сбой UPS! Заряд: "},
};

} // namespace

std::string TrayIconName(std::uint8_t charge, std::uint16_t flags) {
    std::string name = (flags & UPS_ONBATTERY) ? "DC_" : "AC_";
    for (const ChargeLevel& level : ChargeLevels)
        if (charge <= level.UpTo) {
            name += level.Suffix;
            break;
        }
    for (const SpecialState& state : SpecialStates)
        if (flags & state.Flag) name = state.Icon;
    return name;
}

std::string TrayTipText(std::uint8_t charge, std::uint16_t flags) {
    std::string_view prefix =
        (flags & UPS_ONBATTERY) ? "Питание от батареи. Заряд: " : "Питание от сети. Заряд: ";
    for (const SpecialState& state : SpecialStates)
        if (flags & state.Flag) prefix = state.Tip;
    return std::string(prefix) + std::to_string(charge) + "%";
}
