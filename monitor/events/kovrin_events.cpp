#include "monitor/runtime/kovrin.h"

void TKovrin::WriteJournal(std::string_view, std::uint8_t) {}
void TKovrin::OpenStatFile() {}
void TKovrin::WriteStatRecord() {}
void TKovrin::CloseStatFile() {}
void TKovrin::LoadEventRules() {}
void TKovrin::FreeEventRules() {}
void TKovrin::LoadCustomCommands() {}
void TKovrin::FreeCustomCommands() {}
bool TKovrin::EvaluateStatus() { return false; }
void TKovrin::RaiseEvent(std::uint8_t) {}
void TKovrin::RunAction(const TEventRule&) {}
void TKovrin::RunRulesById(std::uint16_t) {}
void TKovrin::SendCustomCommand(const TCustomCommand&) {}
void TKovrin::CheckBatteryLimits() {}
