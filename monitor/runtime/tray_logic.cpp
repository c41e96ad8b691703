#include "monitor/runtime/tray_logic.h"

std::string TrayIconName(std::uint8_t, std::uint16_t) { return "MAINICON"; }
std::string TrayTipText(std::uint8_t, std::uint16_t) { return TrayTitle; }
