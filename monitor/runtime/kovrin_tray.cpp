#include "monitor/runtime/kovrin.h"

void TKovrin::AddTrayIcon() {}
void TKovrin::UpdateTrayIcon(const char*, const char*) {}
void TKovrin::RemoveTrayIcon() {}
