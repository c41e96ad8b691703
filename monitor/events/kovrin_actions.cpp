#include "monitor/runtime/kovrin.h"

void TKovrin::LoadEventRules() {}
void TKovrin::FreeEventRules() {}
void TKovrin::LoadCustomCommands() {}
void TKovrin::FreeCustomCommands() {}
void TKovrin::RunAction(const TEventRule&) {}
void TKovrin::RunRulesById(std::uint16_t) {}
void TKovrin::SendCustomCommand(const TCustomCommand&) {}
