#pragma once
#include <cstdint>
#include <string>

// The tray icon resource and tooltip for a charge (0-100) and the status flags.
std::string TrayIconName(std::uint8_t charge, std::uint16_t flags);
std::string TrayTipText(std::uint8_t charge, std::uint16_t flags);

inline constexpr const char* TrayTitle = "Монитор состояния Tarvo v0.35b";
inline constexpr std::size_t TrayTipMax = 63;
