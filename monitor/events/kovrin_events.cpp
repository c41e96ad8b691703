#include "monitor/runtime/kovrin.h"

void TKovrin::WriteJournal(std::string_view, std::uint8_t) {}
void TKovrin::OpenStatFile() {}
void TKovrin::WriteStatRecord() {}
void TKovrin::CloseStatFile() {}
bool TKovrin::EvaluateStatus() { return false; }
void TKovrin::RaiseEvent(std::uint8_t) {}
void TKovrin::CheckBatteryLimits() {}
